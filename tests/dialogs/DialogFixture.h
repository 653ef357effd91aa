#pragma once

// A panel connected to the simulated rig with the real dialogs behind its dispatcher. A test
// opens a dialog as an operator does (a touch on the panel) and drives it by control ids.

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/PanelDialogs.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/TapPort.h"

class DialogTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        SetDialogFactory(&dialogs);
    }
    void TearDown() override {
        SetPortIo(&rig->Port());
        tap.reset();
        SetDialogFactory(nullptr);
        PanelTest::TearDown();
    }

    // Starts the panel, connects unit n and taps the link from then on.
    void ConnectTapped(int unit) {
        Start();
        Connect(unit);
        tap = std::make_unique<TapPort>(rig->Port());
        SetPortIo(tap.get());
    }

    // touch opens a dialog of type D; steps run on it while it is open, then it is cancelled
    // unless the steps closed it.
    template <typename D>
    void WhileOpen(const std::function<void()>& touch, const std::function<void(D&)>& steps) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << "the dialog did not open";
            ran = true;
            steps(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        touch();
        EXPECT_TRUE(ran);
    }

    template <typename T>
    static T* Control(QWidget& dialog, int id) {
        T* control = dialog.findChild<T*>(QString::number(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }

    // A finger on row of list: down and up on the entry.
    static void TouchRow(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
    }
    // A finger put down on row from, slid across the rows between, and lifted on row to.
    static void Slide(QListWidget* list, int from, int to) {
        QWidget* viewport = list->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, RowCentre(list, from));
        const int step = to > from ? 1 : -1;
        for (int row = from; row != to + step; row += step) {
            const QPoint at = RowCentre(list, row);
            QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &move);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, RowCentre(list, to));
    }
    static QPoint RowCentre(QListWidget* list, int row) {
        return list->visualItemRect(list->item(row)).center();
    }

    CPanelDialogs dialogs;
    std::unique_ptr<TapPort> tap;
};
