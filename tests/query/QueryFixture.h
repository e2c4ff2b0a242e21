#pragma once

// What the query window tests share: a small card file with varied values, the
// main window over it, and ways to drive a query window and read the result.

#include "Application.h"
#include "TestSupport.h"
#include "TfrmMain.h"
#include "TfrmQuery.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace queryfixture {

// Nine cards in store order: seven live ones, "王五" flagged deleted and
// "赵六" with an empty flag; both of those match most searches, so a search
// that lists them has lost its condition on the flag.
std::vector<testsupport::Card> cards();

// The live cards' names in store order.
QStringList liveNames();

// A card file with cards() and the main window over it, shown and active.
class Fixture
{
    testsupport::TempCardFile m_file;

public:
    Fixture();

    // False when the main window could not be shown and made active.
    bool show();
    QString path() const { return m_file.path(); }
    // Every row and the schema of the card file, to tell whether it changed.
    QList<QStringList> dump() const;

    // Presses ButQ and gives the new query window (nullptr when none came).
    TfrmQuery *openQuery();

    // The names in the card list, in list order; empty when it is closed.
    QStringList listedNames() const;
    QString countPanel() const { return window->StatusBar1->panelText(6); }

    std::unique_ptr<TfrmMain> window;
};

// Waits until the window is shown, active and has the focus on Button1.
bool waitReady(TfrmQuery *query);

// Fills in the field box and the content edit and presses the Query button.
void search(TfrmQuery *query, const QString &caption, const QString &content);

// Types text as keys into the widget that has the focus at each key: ASCII
// through QTest's key table, any other character as a key event carrying only
// its text, as an input method delivers it.
void typeText(const QString &text);

// The error box with the given message.
widgets::MessageBoxSpec errorBox(const QString &message);

} // namespace queryfixture
