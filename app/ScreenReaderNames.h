// Names and descriptions for screen readers. The windows are drawn from stored definitions whose
// picture buttons and boxes carry no text of their own, so each focusable control is given one:
// its caption, else its tip (a balloon tip, else its hint), else the label that names it (the
// effect label whose FocusControl it is). The description is the tip, else the name.
#pragma once

class TWinControl;

// Names every focusable control of Form (a window whose tips are already added) that has no name.
void NameControlsForScreenReaders(TWinControl& Form);
