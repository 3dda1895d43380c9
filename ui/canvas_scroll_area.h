#pragma once

#include <QScrollArea>

namespace zorvik::ui {

// The scroll area around the canvas. QScrollArea brings the focused child into view whenever
// Tab moves the focus, and the canvas is that child: on a picture larger than the frame, Tab
// off the canvas would re-centre the picture the user is mapping. Here focus moves and the view
// stays; the scroll bars, the wheel and a drag past the edge still scroll.
class CanvasScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

} // namespace zorvik::ui
