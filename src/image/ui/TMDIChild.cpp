#include "TMDIChild.h"

#include "TAddTextForm.h"
#include "TImagePaintBox.h"

#include "image/ViewPainter.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TShiftState shiftStateOf(const QMouseEvent* event) {
    TShiftState s;
    const Qt::KeyboardModifiers m = event->modifiers();
    s.shift = m.testFlag(Qt::ShiftModifier);
    s.ctrl = m.testFlag(Qt::ControlModifier);
    s.alt = m.testFlag(Qt::AltModifier);
    const Qt::MouseButtons b = event->buttons() | event->button();
    s.left = b.testFlag(Qt::LeftButton);
    s.right = b.testFlag(Qt::RightButton);
    s.middle = b.testFlag(Qt::MiddleButton);
    return s;
}

TMouseButton buttonOf(const QMouseEvent* event) {
    switch (event->button()) {
    case Qt::RightButton:
        return TMouseButton::Right;
    case Qt::MiddleButton:
        return TMouseButton::Middle;
    default:
        return TMouseButton::Left;
    }
}

// Until the window registers the drawn cursors, standard shapes stand in.
QCursor standardCursor(int number) {
    switch (number) {
    case 1:
        return QCursor(Qt::SizeAllCursor);
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 15:
    case 16:
    case 17:
    case 18:
        return QCursor(Qt::CrossCursor);
    case 10:
        return QCursor(Qt::IBeamCursor);
    default:
        return QCursor(Qt::PointingHandCursor);
    }
}

} // namespace

TMDIChild::TMDIChild(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MDIChild1"));
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The application work space shows around a small image.
    ScrollBox1->viewport()->setBackgroundRole(QPalette::Dark);
    ScrollBox1->viewport()->setMouseTracking(true);
    ScrollBox1->viewport()->installEventFilter(this);
    ScrollBox1->horizontalScrollBar()->setTracking(true);
    ScrollBox1->verticalScrollBar()->setTracking(true);

    PaintBox1 = new TImagePaintBox;
    PaintBox1->resize(0, 0);
    PaintBox1->paint = [this](QPainter& painter, const QRect& rect) {
        paintDocumentView(painter, doc_, rect);
    };
    PaintBox1->mouseDown = [this](QMouseEvent* e) { PaintBox1MouseDown(e); };
    PaintBox1->mouseMove = [this](QMouseEvent* e) { PaintBox1MouseMove(e); };
    PaintBox1->mouseUp = [this](QMouseEvent* e) { PaintBox1MouseUp(e); };
    ScrollBox1->setWidget(PaintBox1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, [this] { doc_.Timer1Timer(); });
    Timer1->start();

    doc_.setViewPort(this);
}

TMDIChild::~TMDIChild() {
    doc_.setViewPort(nullptr);
}

void TMDIChild::registerCursor(int number, const QCursor& cursor) {
    cursors_.insert(number, cursor);
    if (number == cursorNumber_) {
        PaintBox1->setCursor(cursor);
    }
}

ToolOptions TMDIChild::currentOptions() const {
    return toolOptions ? toolOptions() : ToolOptions{};
}

void TMDIChild::PaintBox1MouseDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    doc_.PaintBox1MouseDown(buttonOf(event), shiftStateOf(event), p.x(), p.y(), currentOptions());
}

void TMDIChild::PaintBox1MouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    doc_.PaintBox1MouseMove(shiftStateOf(event), p.x(), p.y(), currentOptions());
}

void TMDIChild::PaintBox1MouseUp(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    doc_.PaintBox1MouseUp(buttonOf(event), shiftStateOf(event), p.x(), p.y(), currentOptions());
}

bool TMDIChild::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::MouseMove) {
        doc_.ScrollBox1MouseMove();
    }
    return QWidget::eventFilter(watched, event);
}

// --- ViewPort ---------------------------------------------------------------------------

ScrollState TMDIChild::scrollState() const {
    ScrollState s;
    s.h = ScrollBox1->horizontalScrollBar()->value();
    s.v = ScrollBox1->verticalScrollBar()->value();
    s.clientWidth = ScrollBox1->viewport()->width();
    s.clientHeight = ScrollBox1->viewport()->height();
    s.boxWidth = ScrollBox1->width();
    s.boxHeight = ScrollBox1->height();
    return s;
}

void TMDIChild::setScrollPosition(int h, int v) {
    ScrollBox1->horizontalScrollBar()->setValue(h);
    ScrollBox1->verticalScrollBar()->setValue(v);
}

void TMDIChild::updateScrollRanges() {
    // The scroll box learns of a resized widget only when the resize event arrives, which a
    // hidden frame postpones; the positions set next must already see the new ranges.
    const QSize viewport = ScrollBox1->viewport()->size();
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    h->setRange(0, std::max(0, PaintBox1->width() - viewport.width()));
    h->setPageStep(viewport.width());
    v->setRange(0, std::max(0, PaintBox1->height() - viewport.height()));
    v->setPageStep(viewport.height());
}

void TMDIChild::setPaintBoxSize(int width, int height) {
    PaintBox1->resize(std::min(width, QWIDGETSIZE_MAX), std::min(height, QWIDGETSIZE_MAX));
    updateScrollRanges();
}

void TMDIChild::invalidate(const QRect& paintBoxRect) {
    PaintBox1->update(paintBoxRect);
}

void TMDIChild::invalidateAll() {
    PaintBox1->update();
}

bool TMDIChild::mouseCaptured() const {
    return QWidget::mouseGrabber() != nullptr;
}

void TMDIChild::setMouseCapture(bool on) {
    if (on && !grabbed_ && PaintBox1->isVisible()) {
        PaintBox1->grabMouse();
        grabbed_ = true;
    } else if (!on && grabbed_) {
        PaintBox1->releaseMouse();
        grabbed_ = false;
    }
}

void TMDIChild::setToolCursor(int number) {
    if (number == cursorNumber_) {
        return;
    }
    cursorNumber_ = number;
    PaintBox1->setCursor(cursors_.value(number, standardCursor(number)));
}

std::optional<TextBlock> TMDIChild::askForText() {
    TAddTextForm form(this);
    if (form.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return form.textBlock();
}
