#include "app/SpectrumView.h"

#include <QPainter>
#include <utility>

#include "app/SpectrumPicture.h"
#include "platform/core/Translation.h"

namespace {

class TSpectrumWidget : public QWidget {
 public:
  const TSpectrumView* Owner = nullptr;
  void paintEvent(QPaintEvent*) override {
    QPainter Painter(this);
    if (Owner && Owner->Picture()) {
      PaintSpectrum(Painter, rect(), *Owner->Picture(), TDeviceNote::Left);
      return;
    }
    Painter.fillRect(rect(), Qt::white);
    Painter.drawText(rect(), Qt::AlignCenter,
                     QString::fromUtf8(Tr("No tone has been played yet.")));
  }
};

}  // namespace

TSpectrumView::TSpectrumView(TComponent* AOwner) : TControl(AOwner, new TSpectrumWidget) {
  static_cast<TSpectrumWidget*>(Widget())->Owner = this;
  SetBounds(0, 0, 400, 200);
}

const TClassInfo& TSpectrumView::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TSpectrumView>("TSpectrumView", TControl::StaticClassInfo()).Build();
  return Info;
}

void TSpectrumView::SetPicture(TSpectrumPicture Value) {
  FPicture = std::move(Value);
  Widget()->update();
}
