#pragma once
// The viewer's own 24 x 24 toolbar pictures, drawn at start-up.

#include <QIcon>
#include <QImage>

namespace kv {

// Index 0 open in new window, 1 open, 2 save, 3 find, 4 print, 5 edit, 6 close, 7 exit,
// 8 tile horizontally, 9 tile vertically, 10 cascade.
QIcon ViewerIcon(int index);

} // namespace kv

namespace kv {

// The application's own icon (a report sheet with a table and a magnifier) drawn at `size` pixels
// square; ApplicationIcon holds it at the sizes desktops ask for.
QImage ApplicationIconImage(int size);
QIcon ApplicationIcon();

} // namespace kv
