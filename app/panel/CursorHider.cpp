#include "app/panel/CursorHider.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

CCursorHider::CCursorHider(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    for (QWidget* widget : QApplication::allWidgets())
        Hide(widget);
}

CCursorHider::~CCursorHider() {
    if (qApp) qApp->removeEventFilter(this);
}

bool CCursorHider::KeepsCursor(const QWidget* widget) {
    // Popups (a drop-down list's) are windows of their own, parented to the widget they serve.
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->property(kKeepsCursorProperty).toBool()) return true;
    return false;
}

void CCursorHider::Hide(QWidget* widget) {
    if (KeepsCursor(widget) || widget->cursor().shape() == Qt::BlankCursor) return;
    widget->setCursor(Qt::BlankCursor);
}

bool CCursorHider::eventFilter(QObject* watched, QEvent* event) {
    // Polish comes once before a widget is first shown; a widget that picks a pointer of its
    // own later (a text field's I-beam) announces it with CursorChange.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Polish || type == QEvent::CursorChange) && watched->isWidgetType())
        Hide(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}
