#include "TfrmMain.h"

#include "Application.h"
#include "CardStore.h"
#include "CardTable.h"
#include "Connection.h"
#include "DataSource.h"
#include "KeyPress.h"
#include "Query.h"
#include "TfrmQuery.h"

#include <QScreen>
#include <QShortcutEvent>

using widgets::Application;

namespace {

const QString requiredMessage = QStringLiteral("姓名、单位、办公电话、单位地址不能为空！");

// The phone edits take digits and hyphens; anything else typed becomes a
// carriage return, which a single-line edit does not enter.
void phoneKeyFilter(QChar &key)
{
    const char16_t code = key.unicode();
    if (code == 8 || code == u'-' || (code >= u'0' && code <= u'9'))
        return;
    key = QChar(widgets::carriageReturn);
}

} // namespace

TfrmMain::TfrmMain(const QString &executablePath, QWidget *parent)
    : QWidget(parent), m_executablePath(executablePath)
{
    ADOConnection1 = new dataset::Connection(this);
    ADOConnection1->setObjectName(QStringLiteral("ADOConnection1"));
    ADOQuery1 = new dataset::Query(QStringLiteral("ADOQuery1"), ADOConnection1, this);
    ADOQuery1->SQL->Add(QStringLiteral("select * from Dept"));
    store::declareCardFields(*ADOQuery1);
    // Every new card starts live: no path writes a card that no list shows.
    ADOQuery1->OnNewRecord = [this] {
        ADOQuery1->FieldByName(QStringLiteral("Del"))->SetAsString(store::liveFlag);
    };
    DataSource1 = new widgets::DataSource(QStringLiteral("DataSource1"), ADOQuery1, this);

    setupUi(this);
    m_detailEdits = {DBEName, DBEDept, DBEPart,  DBEJob,    DBEJPhone, DBEFax,      DBEJAddress,
                     DBECity, DBEWww,  DBEEmail, DBEHPhone, DBEMoblio, DBEHAddress, DBEDes};
    widgets::linkDataSources(this);

    wire(ButNew, &TfrmMain::ButNewClick);
    wire(ButMed, &TfrmMain::ButMedClick);
    wire(ButSaveNew, &TfrmMain::ButSaveNewClick);
    wire(ButSaveEdit, &TfrmMain::ButSaveEditClick);
    wire(ButCan, &TfrmMain::ButCanClick);
    wire(ButDel, &TfrmMain::ButDelClick);
    wire(ButQ, &TfrmMain::ButQClick);
    wire(ButExi, &TfrmMain::ButExiClick);
    wireKeyPress(DBEJPhone, &TfrmMain::DBEJPhoneKeyPress);
    wireKeyPress(DBEFax, &TfrmMain::DBEFaxKeyPress);
    wireKeyPress(DBEHPhone, &TfrmMain::DBEHPhoneKeyPress);
    wireKeyPress(DBEMoblio, &TfrmMain::DBEMoblioKeyPress);
    wireKeyPress(DBGrid1, &TfrmMain::DBGrid1KeyPress);

    Application::instance().Guard([this] { FormCreate(this); });
}

void TfrmMain::wire(QPushButton *button, void (TfrmMain::*handler)(QObject *))
{
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, button, handler] {
        Application::instance().Guard([this, button, handler] { (this->*handler)(button); });
    });
}

// Key handlers run inside the control's own guard.
template <typename Control>
void TfrmMain::wireKeyPress(Control *control, void (TfrmMain::*handler)(QObject *, QChar &))
{
    control->OnKeyPress = [this, handler](QObject *sender, QChar &key) {
        (this->*handler)(sender, key);
    };
}

// An accelerator presses its button at once, as a click does, so that keys
// typed right after it reach the edit that the handler has focused.
bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        if (auto *button = qobject_cast<QPushButton *>(watched)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    // Centred on the desktop the first time it is shown.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *desktop = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(desktop->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

void TfrmMain::ShowCardCount()
{
    StatusBar1->setPanelText(6, store::cardCountText(*ADOQuery1));
}

void TfrmMain::FormCreate(QObject *)
{
    ADOConnection1->ConnectionString =
        store::connectionString(store::cardFilePath(m_executablePath));
    store::CurrentSQL = store::baseStatement;
    store::ReloadCards(*ADOQuery1);
    ShowCardCount();

    BindDetailFields();
    LockDetailFields();
    ButMed->setEnabled(true);
    ButNew->setEnabled(true);
    ButSaveEdit->setEnabled(false);
    ButSaveNew->setEnabled(false);
    ButCan->setEnabled(false);
}

void TfrmMain::BindDetailFields()
{
    static const char *const columns[] = {"Name",   "Dept",     "Part",     "Job", "JPhone",
                                          "Fax",    "JAddress", "City",     "WWW", "E_Mail",
                                          "HPhone", "Moblio",   "HAddress", "Des"};
    for (std::size_t i = 0; i < m_detailEdits.size(); ++i)
        m_detailEdits[i]->setDataField(QString::fromLatin1(columns[i]));
}

void TfrmMain::LockDetailFields()
{
    for (widgets::DBEdit *edit : m_detailEdits)
        edit->setEnabled(false);
}

void TfrmMain::UnlockDetailFields()
{
    for (widgets::DBEdit *edit : m_detailEdits)
        edit->setEnabled(true);
}

bool TfrmMain::ValidateRequired()
{
    for (const widgets::DBEdit *edit : {DBEName, DBEDept, DBEJPhone, DBEJAddress}) {
        if (edit->text().isEmpty()) {
            Application::instance().ShowMessage(requiredMessage);
            DBEName->setFocus();
            return false;
        }
    }
    return true;
}

void TfrmMain::ButNewClick(QObject *)
{
    UnlockDetailFields();
    ADOQuery1->Append();
    DBEName->setFocus();
    ShowEditingButtons(ButSaveNew, ButSaveEdit);
}

void TfrmMain::ButMedClick(QObject *)
{
    // With no card listed there is nothing to modify.
    if (ADOQuery1->Active() && ADOQuery1->IsEmpty())
        return;
    UnlockDetailFields();
    ADOQuery1->Edit();
    DBEName->setFocus();
    DBEName->selectAll();
    ShowEditingButtons(ButSaveEdit, ButSaveNew);
}

// The buttons of an editing mode: its own save button shown and enabled, the
// other one hidden, Cancel enabled, the browsing commands disabled.
void TfrmMain::ShowEditingButtons(QPushButton *save, QPushButton *otherSave)
{
    ButMed->setEnabled(false);
    ButNew->setEnabled(false);
    save->setVisible(true);
    save->setEnabled(true);
    otherSave->setVisible(false);
    ButCan->setEnabled(true);
    ButQ->setEnabled(false);
    ButDel->setEnabled(false);
}

void TfrmMain::ButSaveNewClick(QObject *)
{
    if (!ValidateRequired())
        return;
    ADOQuery1->FieldByName(QStringLiteral("Del"))->SetAsString(store::liveFlag);
    ADOQuery1->Post();
    ShowBrowseButtons();
}

void TfrmMain::ButSaveEditClick(QObject *)
{
    if (!ValidateRequired())
        return;
    ADOQuery1->Post();
    ShowBrowseButtons();
}

void TfrmMain::ButCanClick(QObject *)
{
    ADOQuery1->Cancel();
    ShowBrowseButtons();
    ButCan->setEnabled(false);
}

// The edits locked and the buttons of BrowseMode, all but Cancel: a save
// leaves Cancel enabled, and pressing it then only disables it.
void TfrmMain::ShowBrowseButtons()
{
    LockDetailFields();
    ButMed->setEnabled(true);
    ButNew->setEnabled(true);
    ButSaveEdit->setEnabled(false);
    ButSaveNew->setEnabled(false);
    ButQ->setEnabled(true);
    ButDel->setEnabled(true);
}

void TfrmMain::ButDelClick(QObject *)
{
    const auto answer = Application::instance().MessageBox(
        {QStringLiteral("删除名片"), QStringLiteral("确认要删除吗?"), QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No});
    if (answer != QMessageBox::Yes)
        return;
    // An open list with no card has nothing to mark.
    if (!ADOQuery1->Active() || !ADOQuery1->IsEmpty()) {
        ADOQuery1->Edit();
        ADOQuery1->FieldByName(QStringLiteral("Del"))->SetAsString(store::deletedFlag);
        ADOQuery1->Post();
    }
    Application::instance().MessageBox({QStringLiteral("删除成功提示"), QStringLiteral("删除成功!"),
                                        QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok});
    store::CurrentSQL = store::baseStatement;
    store::ReloadCards(*ADOQuery1);
    LabHJ->setText(store::cardCountText(*ADOQuery1));
    ShowCardCount();
    BindDetailFields();
    LockDetailFields();
}

void TfrmMain::ButQClick(QObject *)
{
    auto *query = new TfrmQuery(this, ADOQuery1, [this] { ShowCardCount(); });
    query->show();
}

void TfrmMain::ButExiClick(QObject *)
{
    close();
}

void TfrmMain::DBEJPhoneKeyPress(QObject *, QChar &Key)
{
    phoneKeyFilter(Key);
}

void TfrmMain::DBEFaxKeyPress(QObject *, QChar &Key)
{
    phoneKeyFilter(Key);
}

void TfrmMain::DBEHPhoneKeyPress(QObject *, QChar &Key)
{
    phoneKeyFilter(Key);
}

void TfrmMain::DBEMoblioKeyPress(QObject *, QChar &Key)
{
    phoneKeyFilter(Key);
}

// Typing never changes a cell: each typed character only opens or closes the
// cell viewer.
void TfrmMain::DBGrid1KeyPress(QObject *, QChar &Key)
{
    Key = QChar(widgets::carriageReturn);
}
