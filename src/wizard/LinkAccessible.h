#pragma once

class QLabel;

namespace wizard {

// Makes `label` a link to assistive technology: its role is Link, its name is its text, and its
// press action sends it the Space key, which the window's handler takes as a click. May be
// called at any time after the label's text is set.
void MarkAsLink(QLabel& label);

}  // namespace wizard
