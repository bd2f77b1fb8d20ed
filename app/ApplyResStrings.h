#pragma once

class QWidget;

namespace zep {

// Controls carry text numbers (property "tag"; an action's text; a tab's data and tool tip; a
// toolbar button's tool tip; a heading's kColumnTagRole data) that become string-table texts.
inline constexpr char kTagProperty[] = "tag";
inline constexpr int kColumnTagRole = 0x0100;  // Qt::UserRole

// Window font from texts 101 and 102 (controls keep theirs); what cannot apply is skipped.
void ApplyResStrings(QWidget* window);

}  // namespace zep
