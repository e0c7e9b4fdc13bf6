#ifndef LUNORIS_TABORDER_H
#define LUNORIS_TABORDER_H

class QWidget;

namespace TabOrder {

// The toolkit puts a widget made in a window that already stands last in the
// window's tab order. Parts the panel makes when they are first shown call
// this once made: their inputs go back where `part` stands among the
// window's parts, after the input before it, in the order they were made.
void keepInPlace(QWidget *part);

} // namespace TabOrder

#endif // LUNORIS_TABORDER_H
