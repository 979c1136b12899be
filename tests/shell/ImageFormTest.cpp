#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/ImageForm.h"
#include "shell/Shape.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScratchFolder.h"

using namespace ShellTest;

namespace {

// Writes a 10 x 8 picture: a magenta frame (bottom-left magenta) around a grey body.
std::string FramedPicture(const TScratchFolder& Folder) {
  QImage I(10, 8, QImage::Format_RGB32);
  I.fill(QColor(255, 0, 255));
  for (int Y = 2; Y < 6; ++Y)
    for (int X = 3; X < 7; ++X) I.setPixel(X, Y, qRgb(128, 128, 128));
  const std::string Path = (Folder / "framed.png").string();
  EXPECT_TRUE(I.save(QString::fromStdString(Path)));
  return Path;
}

class ImageFormTest : public testing::Test {
 protected:
  ImageFormTest() {
    Skin->SetParent(&Form);
    Skin->SetAutoSize(true);
  }
  const TScratchFolder Folder{"tessolon-skin-"};
  const std::string Framed = FramedPicture(Folder);
  TForm Form{nullptr};
  TskImageForm* Skin = new TskImageForm(&Form);
};

}  // namespace

TEST_F(ImageFormTest, WindowShapeFollowsThePicturesTransparentColour) {
  Skin->SetPicture(Framed);
  EXPECT_EQ(Form.BorderStyle(), bsNone);
  EXPECT_EQ(Form.ClientWidth(), 10);
  EXPECT_EQ(Skin->EffectiveTransparentColor(), clFuchsia);  // clNone: bottom-left pixel
  const QRegion Mask = Form.Widget()->mask();
  EXPECT_EQ(Mask, QRegion(3, 2, 4, 4));

  Skin->SetTransparentColor(clGray);  // now the body is cut out and the frame stays
  EXPECT_FALSE(Form.Widget()->mask().contains(QPoint(4, 3)));
  EXPECT_TRUE(Form.Widget()->mask().contains(QPoint(0, 0)));
}

TEST_F(ImageFormTest, StoredShapeIsUsedAsStoredAnEmptyOneFollowsThePictureAndNoneIsRectangular) {
  Skin->SetPicture(Framed);
  Skin->SetRegionData(EncodeRegion(QRegion(0, 0, 2, 2)));
  EXPECT_EQ(Form.Widget()->mask(), QRegion(0, 0, 2, 2));
  EXPECT_EQ(DecodeRegion(Skin->RegionData()), QRegion(3, 2, 4, 4));  // saved: from the picture
  Skin->SetRegionData({0, 0, 0, 0});
  EXPECT_EQ(Form.Widget()->mask(), QRegion(3, 2, 4, 4));
  Skin->SetRegionData(EncodeRegion(QRegion(0, 0, 2, 2)));
  Skin->SetRegionData({9, 0, 0, 0, 1});  // a damaged block is skipped: the picture shapes it
  EXPECT_EQ(Form.Widget()->mask(), QRegion(3, 2, 4, 4));
  Skin->SetPicture("no-such-picture.png");  // no picture: a rectangular window
  EXPECT_TRUE(Skin->Image().isNull());
  EXPECT_TRUE(Form.Widget()->mask().isEmpty());
  EXPECT_TRUE(Skin->RegionData() == TBytes({0, 0, 0, 0}));
}

// A shown window whose edit box holds the focus, dragged by real mouse events on its body.
class BodyDrag : public ImageFormTest {
 protected:
  BodyDrag() {
    Skin->SetPicture(Framed);
    Edit->SetParent(&Form);
    Form.SetBounds(100, 100, 10, 8);
    ShowActive(Form);
    Edit->Widget()->setFocus();
    Start = Form.Widget()->pos();
  }
  ~BodyDrag() override { TskImageForm::SetSystemMove({}); }
  // Presses at the form's (4, 3), drags by Delta and releases; where the window went.
  QPoint Drag(QPoint Delta, QWidget* On = nullptr, QPoint At = {4, 3}) {
    QWidget* W = On ? On : Form.Widget();
    const QPoint From = W->mapToGlobal(At);
    Send(W, QEvent::MouseButtonPress, At, Qt::LeftButton, From);
    Send(W, QEvent::MouseMove, At + Delta, Qt::NoButton, From + Delta);
    Send(W, QEvent::MouseButtonRelease, At + Delta, Qt::LeftButton, From + Delta);
    const QPoint Moved = Form.Widget()->pos() - Start;
    Form.Widget()->move(Start);
    return Moved;
  }
  TEdit* Edit = new TEdit(&Form);
  QPoint Start;
};

TEST_F(BodyDrag, MovesTheWindowOncePastTheToleranceUnlessClickableOrUnfocused) {
  int Moves = 0;
  Skin->OnMouseMove = [&](TComponent*, TShiftState Shift, int, int) {
    Moves += (Shift & (1 << ssLeft)) != 0;
  };
  EXPECT_EQ(Drag({5, 5}), QPoint(0, 0));  // within 5 pixels nothing moves
  EXPECT_EQ(Drag({6, 0}), QPoint(6, 0));
  EXPECT_EQ(Drag({20, -10}), QPoint(20, -10));
  EXPECT_EQ(Moves, 3);
  Skin->OnMouseMove = nullptr;

  // A body that is clicked or pressed, and a window nothing in which holds the focus, stay put.
  int Clicks = 0;
  Skin->OnClick = [&](TComponent*) { ++Clicks; };
  EXPECT_EQ(Drag({20, 10}), QPoint(0, 0));  // a body with a click handler is clicked
  EXPECT_EQ(Clicks, 1);
  Skin->OnClick = nullptr;
  Skin->OnMouseDown = [](TComponent*, TMouseButton, TShiftState, int, int) {};
  EXPECT_EQ(Drag({20, 10}), QPoint(0, 0));
  Skin->OnMouseDown = nullptr;
  EXPECT_EQ(Drag({20, 10}), QPoint(20, 10));

  delete Edit;  // nothing left to hold the focus
  Edit = nullptr;
  ASSERT_EQ(Form.Widget()->focusWidget(), nullptr);
  EXPECT_EQ(Drag({20, 10}), QPoint(0, 0));
}

TEST_F(BodyDrag, RightPressOpensTheMenuAndMovesNothing) {
  TPopupMenu Menu(nullptr);
  auto* Item = new TMenuItem(&Menu);
  Item->SetCaption("Show Win");
  Menu.Add(Item);
  Skin->SetPopupMenu(&Menu);
  QWidget* W = Form.Widget();
  Send(W, QEvent::MouseButtonPress, {4, 3}, Qt::RightButton);
  EXPECT_TRUE(Menu.Menu()->isVisible());
  Send(W, QEvent::MouseMove, {30, 30}, Qt::NoButton);
  EXPECT_EQ(W->pos(), Start);
  Menu.Menu()->close();
}

TEST_F(BodyDrag, OnlyTheCaptionBarMovesTheWindowWhenThereIsOne) {
  auto* Bar = new TPanel(&Form);
  Bar->SetParent(&Form);
  Bar->SetBounds(0, 0, 10, 2);
  Bar->Widget()->show();
  Skin->SetCaptionBarControl(Bar);
  EXPECT_EQ(Drag({20, 10}), QPoint(0, 0));                           // below the bar
  EXPECT_EQ(Drag({20, 10}, nullptr, {4, 1}), QPoint(20, 10));        // inside it
  EXPECT_EQ(Drag({20, 10}, Bar->Widget(), {4, 1}), QPoint(20, 10));  // on the bar itself
  delete Bar;
  EXPECT_EQ(Skin->CaptionBarControl(), nullptr);
  EXPECT_EQ(Drag({20, 10}), QPoint(20, 10));
}

TEST_F(BodyDrag, WindowsDragHandsTheMoveToTheDesktopAtThePress) {
  int SystemMoves = 0;
  TskImageForm::SetSystemMove([&](QWindow* Window) {
    EXPECT_EQ(Window, Form.Widget()->windowHandle());
    ++SystemMoves;
    return true;
  });
  EXPECT_EQ(Drag({20, 10}), QPoint(20, 10));  // without the option the program moves it
  EXPECT_EQ(SystemMoves, 0);
  Skin->SetOptions(1 << ifUseWindowsDrag);
  EXPECT_EQ(Drag({20, 10}), QPoint(0, 0));  // the desktop moves it from the press on
  EXPECT_EQ(SystemMoves, 1);
  TskImageForm::SetSystemMove([](QWindow*) { return false; });  // refused: the program moves it
  EXPECT_EQ(Drag({20, 10}), QPoint(20, 10));
}

// Outside the shape the window is see-through, over the form's own colour too, so that a
// compositor that takes the shape only for input still shows the picture's outline.
TEST_F(ImageFormTest, PixelsOutsideTheShapeAreTransparent) {
  Form.SetColor(clTeal);
  Skin->SetPicture(Framed);
  Form.Show();
  EXPECT_TRUE(Form.Widget()->testAttribute(Qt::WA_TranslucentBackground));
  // The picture paints over what the form painted beneath it in the window's buffer.
  QImage Shot(Form.Widget()->size(), QImage::Format_ARGB32_Premultiplied);
  Shot.fill(QColor(0, 128, 128));
  Skin->Widget()->render(&Shot, {}, {}, QWidget::DrawChildren);
  EXPECT_EQ(Shot.pixel(0, 0), 0u);
  EXPECT_EQ(Shot.pixel(9, 7), 0u);
  EXPECT_EQ(Shot.pixel(4, 3), qRgb(128, 128, 128));
}
