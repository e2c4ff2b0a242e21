#pragma once

#include "ui_TfrmQuery.h"

#include <QWidget>
#include <functional>

class QKeyEvent;

namespace dataset {
class Query;
}

// The query window: narrows the card list to the live cards whose chosen field
// contains a text, ordered by that field, or brings back every live card. It
// works on its owner's card list and hides itself when closed.
class TfrmQuery : public QWidget, public Ui::TfrmQuery
{
    Q_OBJECT
public:
    TfrmQuery(QWidget *owner, dataset::Query *cards, std::function<void()> showCardCount);

    // The column a field caption names; empty for any other text.
    static QString ColumnForCaption(const QString &caption);
    // The search statement for a field-box text and a content text.
    static QString searchStatement(const QString &column, const QString &content);

    void ComboBox1Change(QObject *Sender);
    void Button1Click(QObject *Sender);
    void Button2Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool completeFieldBox(const QKeyEvent *key);

    dataset::Query *ADOQuery1;
    std::function<void()> ShowCardCount;
};
