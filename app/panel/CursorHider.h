#pragma once

// The touch screen needs no pointer: unless the configuration asks for one, every window of the
// program hides it, the panel, its dialogs and its message boxes alike. A window that stands
// in for hardware (the simulator's console) sets kKeepsCursorProperty and keeps its pointer.

#include <QObject>

class QWidget;

inline constexpr const char* kKeepsCursorProperty = "kv4KeepsCursor";

class CCursorHider : public QObject {
public:
    // Hides the pointer on every widget there is and on every one made from now on, for as
    // long as the hider lives.
    explicit CCursorHider(QObject* parent);
    ~CCursorHider() override;

    // Whether the widget lies in a window that keeps its pointer.
    static bool KeepsCursor(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void Hide(QWidget* widget);
};
