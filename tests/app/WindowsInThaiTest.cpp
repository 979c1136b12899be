// The windows in Thai: under th_TH.UTF-8 the stored captions, items and hints, the texts the
// windows set themselves and Qt's own buttons come from the catalog built into the build
// folder; the About page's Thai captions stay as stored.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QRegularExpression>
#include <clocale>
#include <memory>

#include "platform/core/Translation.h"
#include "platform/qt/QtTranslations.h"
#include "platform/qt/StdCtrls.h"
#include "shell/BalloonTip.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ScopedEnv.h"

namespace {

class ThaiWindows : public WindowFixture {
 protected:
  void SetUp() override {
    StartTranslations(std::filesystem::path(TESSOLON_BINARY_DIR) / "locale");
    ASSERT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "th_TH.UTF-8")
        << "no th_TH.UTF-8 locale: scripts/setup.sh build test makes it";
    InstallQtTranslations(&Translators);
    WindowFixture::SetUp();
    StartProgram();
  }
  void TearDown() override {
    EndProgram();
    WindowFixture::TearDown();
    std::setlocale(LC_ALL, "C");
  }

  QString WidgetText(TComponent& Form, const char* Name) {
    return static_cast<QAbstractButton*>(FormComponent<TControl>(Form, Name).Widget())->text();
  }

  // The language as the program reads it; LANGUAGE would choose among languages.
  TScopedEnv Locale{"LC_ALL", "th_TH.UTF-8"};
  TScopedEnv Language{"LANGUAGE", nullptr};
  QObject Translators;
};

}  // namespace

TEST_F(ThaiWindows, ShowTheirStoredAndOwnTextsInThai) {
  EXPECT_EQ(frmUtil->Caption(), "ปรับแต่ง");
  EXPECT_EQ(frmUtil->Widget()->windowTitle(), "ปรับแต่ง");
  EXPECT_EQ(WidgetText(*frmUtil, "chster"), "สเตอริโอ");
  EXPECT_EQ(Util<TControl>("btnSave").Caption(), "บันทึก");
  const auto* Waves = static_cast<QComboBox*>(Util<TControl>("cbWavForm").Widget());
  ASSERT_EQ(Waves->count(), 5);
  EXPECT_EQ(Waves->itemText(0), "คลื่นไซน์");
  EXPECT_EQ(Waves->itemText(4), "เสียงรบกวน");
  EXPECT_EQ(Util<TControl>("skLabel17").Hint(), "คลิกเพื่อไปที่ tessolon.test");
  // The About page's captions were Thai already.
  EXPECT_EQ(Util<TControl>("skLabel23").Caption(), "วิธีการทำลำโพงดูที่...");
  EXPECT_EQ(Main<TControl>("lblPoint").Caption(), "หยุด ...");
  EXPECT_EQ(TipWindow->ToolText(Main<TControl>("btnGo").Widget()), "เริ่มทำงาน ...");

  Main<TControl>("btnGo").Click();
  EXPECT_EQ(Main<TControl>("lblPoint").Caption(), "ทำงาน ...");
  Util<TControl>("btnSave").Click();
  EXPECT_EQ(Messages, std::vector<std::string>{"ข้อมูล: บันทึกค่าพารามิเตอร์เรียบร้อยแล้ว"});

  QMessageBox Box(QMessageBox::Information, "", "", QMessageBox::Ok);
  EXPECT_EQ(Box.button(QMessageBox::Ok)->text(), "ตกลง");
}

// The Sound output page's sentences are put together from parts (the output, the level, what
// the sound comes from); every part is Thai, only units and names stay.
TEST_F(ThaiWindows, SayTheSoundOutputPagesComposedSentencesInThai) {
  Sound.Rate = 48000;
  frmUtil->Show();
  Pages().SetActivePageIndex(2);
  frmUtil->PageControl1Change(frmUtil);
  EXPECT_EQ(Util<TControl>("lblDevice").Caption(), "เอาต์พุต: ไดรเวอร์ recording ของ SDL ที่ 48000 Hz");
  const std::string Note = Util<TControl>("lblNote").Caption();
  EXPECT_EQ(Note.rfind("เสียงเหล่านี้มีเสียงในช่วงที่หูได้ยิน (ได้ยิน): ", 0), 0u) << Note;
  EXPECT_NE(Note.find(" ส่วนใหญ่มาจาก"), std::string::npos) << Note;
  const QString Words = QString::fromStdString(Note)
                            .remove(QRegularExpression("\\b(dBFS|kHz|Hz)\\b"))
                            .remove(QRegularExpression("[^A-Za-z]"));
  EXPECT_TRUE(Words.isEmpty()) << Note;
}
