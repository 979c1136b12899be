// Drives a combo box's drop-down list as the user does: real mouse and key events sent to the
// box and to the list's view, which the toolkit handles in its own order (it hides the list
// before it reports the chosen entry).
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QStyleOptionComboBox>
#include <QTest>

namespace ListDriver {

// Lets the event loop deliver what the action left queued, as it would for the user.
inline void Settle() {
  QCoreApplication::processEvents();
}

inline QWidget* View(QComboBox& Combo) {
  return Combo.view()->viewport();
}

inline bool IsOpen(QComboBox& Combo) {
  return Combo.view()->isVisible();
}

// Opens the list with a click on the box's arrow.
inline void OpenWithMouse(QComboBox& Combo) {
  QStyleOptionComboBox Option;
  Option.initFrom(&Combo);
  Option.editable = Combo.isEditable();
  const QRect Arrow =
      Combo.style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxArrow, &Combo);
  QTest::mouseMove(&Combo, Arrow.center());
  QTest::mouseClick(&Combo, Qt::LeftButton, {}, Arrow.center());
  ASSERT_TRUE(IsOpen(Combo));
}

// Opens the list with F4.
inline void OpenWithKey(QComboBox& Combo) {
  QTest::keyClick(&Combo, Qt::Key_F4);
  ASSERT_TRUE(IsOpen(Combo));
}

// Where entry Index lies in the open list's view.
inline QPoint EntryCentre(QComboBox& Combo, int Index) {
  const QRect Entry = Combo.view()->visualRect(Combo.model()->index(Index, 0));
  return Entry.intersected(View(Combo)->rect()).center();
}

// Opens the list, moves the mouse onto entry Index and clicks it.
inline void ChooseWithMouse(QComboBox& Combo, int Index) {
  OpenWithMouse(Combo);
  const QPoint Entry = EntryCentre(Combo, Index);
  QTest::mouseMove(View(Combo), Entry);
  QTest::mouseClick(View(Combo), Qt::LeftButton, {}, Entry);
  EXPECT_FALSE(IsOpen(Combo));
  Settle();
}

// Opens the list, walks to entry Index with Home and Down, and takes it with Return.
inline void ChooseWithKeys(QComboBox& Combo, int Index) {
  OpenWithKey(Combo);
  QTest::keyClick(Combo.view(), Qt::Key_Home);
  for (int I = 0; I < Index; ++I) QTest::keyClick(Combo.view(), Qt::Key_Down);
  QTest::keyClick(Combo.view(), Qt::Key_Return);
  EXPECT_FALSE(IsOpen(Combo));
  Settle();
}

// Opens the list, moves onto entry Index and leaves with Escape: no choice.
inline void EscapeFrom(QComboBox& Combo, int Index) {
  OpenWithKey(Combo);
  QTest::keyClick(Combo.view(), Qt::Key_Home);
  for (int I = 0; I < Index; ++I) QTest::keyClick(Combo.view(), Qt::Key_Down);
  QTest::keyClick(Combo.view(), Qt::Key_Escape);
  EXPECT_FALSE(IsOpen(Combo));
  Settle();
}

// Opens the list and clicks beside it: no choice.
inline void ClickOutside(QComboBox& Combo) {
  OpenWithMouse(Combo);
  QWidget* Popup = Combo.view()->window();
  QTest::mouseClick(Popup, Qt::LeftButton, {}, QPoint(Popup->width() + 20, -20));
  EXPECT_FALSE(IsOpen(Combo));
  Settle();
}

}  // namespace ListDriver
