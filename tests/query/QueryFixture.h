#pragma once

// What the query window tests share: a small card file with varied values, the
// main window over it, and ways to drive a query window and read the result.

#include "GuiSupport.h"
#include "TestSupport.h"
#include "TfrmQuery.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace queryfixture {

// Nine cards in store order: seven live ones, "王五" flagged deleted and
// "赵六" with an empty flag; both of those match most searches, so a search
// that lists them has lost its condition on the flag.
std::vector<testsupport::Card> cards();

// The live cards' names in store order.
QStringList liveNames();

// A card file with cards() and the main window over it.
class Fixture : public guisupport::MainWindowFixture
{
public:
    Fixture();

    // Every row and the schema of the card file, to tell whether it changed.
    QList<QStringList> dump() const;

    // Presses ButQ and gives the new query window (nullptr when none came).
    TfrmQuery *openQuery();

    // The names in the card list, in list order; empty when it is closed.
    QStringList listedNames() const { return guisupport::listedNames(*window->ADOQuery1); }
    QString countPanel() const { return window->StatusBar1->panelText(6); }
};

// Waits until the window is shown, active and has the focus on Button1.
bool waitReady(TfrmQuery *query);

// Fills in the field box and the content edit and presses the Query button.
void search(TfrmQuery *query, const QString &caption, const QString &content);

} // namespace queryfixture
