#pragma once

// What the window tests share: typing as a keyboard or an input method does,
// showing a window so that focus is real, the application's error box, the
// names a card list holds, and a main window over a temporary card file.

#include "Application.h"
#include "Query.h"
#include "TestSupport.h"
#include "TfrmMain.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace guisupport {

// Types text as keys into the widget that has the focus at each key: ASCII
// through QTest's key table, any other character as a key event carrying only
// its text, as an input method delivers it.
void typeText(const QString &text);

// Shows the window and makes it the active one, so that focus is real; false
// when it is not exposed or not active in time.
bool showActive(QWidget *window);

// The box the application shows for a failure with the given message.
widgets::MessageBoxSpec errorBox(const QString &message);

// The Name of every row the query holds, in row order; empty when it is closed.
QStringList listedNames(const dataset::Query &query);

// A card file with the given cards and a main window over it; beforeStart, one
// or more statements, runs on the file before the window opens it.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const std::vector<testsupport::Card> &cards,
                               const QString &beforeStart = QString());
    MainWindowFixture(const MainWindowFixture &) = delete;
    MainWindowFixture &operator=(const MainWindowFixture &) = delete;

    QString path() const { return m_file.path(); }
    // False when the main window could not be shown and made active.
    bool show() { return showActive(window.get()); }

private:
    testsupport::TempCardFile m_file;

public:
    // Made after the file, so closed before the file is removed.
    std::unique_ptr<TfrmMain> window;
};

} // namespace guisupport
