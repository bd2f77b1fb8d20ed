#pragma once

class QWidget;

namespace zep {

// Windows and controls are designed carrying text numbers, which ApplyResStrings replaces by the
// texts of the string table when the window loads:
//   window                  dynamic property "tag"          -> title
//   label                   dynamic property "tag"          -> text
//   menu entry (QAction)    its text                        -> text
//   tab of a QTabBar        its tab data; its tool tip      -> tab text; tool tip
//   toolbar button          its tool tip                    -> tool tip
//   column of a QTreeWidget header item data, kColumnTagRole -> heading
//   other control           dynamic property "tag"          -> text (buttons) or title (frames)
inline constexpr char kTagProperty[] = "tag";
inline constexpr int kColumnTagRole = 0x0100;  // Qt::UserRole

// Puts the string-table texts on window and every control in it, and gives the window the font
// of texts 101 and 102 while the controls keep their own fonts. Whatever cannot be applied is
// skipped without a word.
void ApplyResStrings(QWidget* window);

}  // namespace zep
