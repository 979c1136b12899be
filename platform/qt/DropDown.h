// The drop-down widget under the combo box and the lookup list.
//
// Qt hides the open list before it reports the chosen entry, so a close-up handler run from the
// hiding would read the state from before the choice. This widget puts the two in the user's
// order: OnChoose applies the choice, then OnCloseUp runs. A list closed without a choice
// (Escape, a click outside) reports nothing after the hiding; its close-up comes once the event
// loop has run on.
#pragma once

#include <QComboBox>
#include <functional>

class TDropDownWidget : public QComboBox {
 public:
  TDropDownWidget();
  // An entry was chosen in the list (or with the keys on the closed box).
  std::function<void(int Index)> OnChoose;
  // The list has closed, after any choice made in it.
  std::function<void()> OnCloseUp;

  void showPopup() override;
  void hidePopup() override;

 private:
  void ListClosed();
  bool FClosing = false;
};
