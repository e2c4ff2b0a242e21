#pragma once

#include "ui_TfrmMain.h"

#include <QWidget>
#include <array>

namespace dataset {
class Connection;
class Query;
} // namespace dataset

namespace widgets {
class DataSource;
}

// The main window: the card grid, the current card in fourteen edits, the
// navigator and command buttons, and the status bar. Its mode lives in the
// controls' states and the query's state; it keeps no flag of its own.
class TfrmMain : public QWidget, public Ui::TfrmMain
{
    Q_OBJECT
public:
    // The card file is looked for beside executablePath.
    explicit TfrmMain(const QString &executablePath, QWidget *parent = nullptr);

    dataset::Connection *ADOConnection1;
    dataset::Query *ADOQuery1;
    widgets::DataSource *DataSource1;

    // The fourteen detail edits in their fixed order.
    const std::array<widgets::DBEdit *, 14> &detailEdits() const { return m_detailEdits; }

    void ShowCardCount();
    void BindDetailFields();
    void LockDetailFields();
    void UnlockDetailFields();
    bool ValidateRequired();

    void FormCreate(QObject *Sender);
    void ButNewClick(QObject *Sender);
    void ButMedClick(QObject *Sender);
    void ButSaveNewClick(QObject *Sender);
    void ButSaveEditClick(QObject *Sender);
    void ButCanClick(QObject *Sender);
    void ButDelClick(QObject *Sender);
    void ButQClick(QObject *Sender);
    void ButExiClick(QObject *Sender);
    void DBEJPhoneKeyPress(QObject *Sender, QChar &Key);
    void DBEFaxKeyPress(QObject *Sender, QChar &Key);
    void DBEHPhoneKeyPress(QObject *Sender, QChar &Key);
    void DBEMoblioKeyPress(QObject *Sender, QChar &Key);
    void DBGrid1KeyPress(QObject *Sender, QChar &Key);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowEditingButtons(QPushButton *save, QPushButton *otherSave);
    void ShowBrowseButtons();
    void wire(QPushButton *button, void (TfrmMain::*handler)(QObject *));
    template <typename Control>
    void wireKeyPress(Control *control, void (TfrmMain::*handler)(QObject *, QChar &));

    QString m_executablePath;
    std::array<widgets::DBEdit *, 14> m_detailEdits;
    bool m_placed = false;
};
