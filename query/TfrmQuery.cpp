#include "TfrmQuery.h"

#include "Application.h"
#include "CardStore.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <stdexcept>

using widgets::Application;

namespace {

const QString allCards = QStringLiteral("全部");

} // namespace

TfrmQuery::TfrmQuery(QWidget *owner, dataset::Query *cards, std::function<void()> showCardCount)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ADOQuery1(cards), ShowCardCount(std::move(showCardCount))
{
    setupUi(this);
    // The field box starts on "all cards", which is not one of its items.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(allCards);
    // The field box completes typed text itself (see completeFieldBox): Qt's
    // completer would apply its completion only after the focus rule has moved
    // the focus away, and would turn a caption typed in another letter case
    // into the caption when the box loses the focus.
    ComboBox1->setCompleter(nullptr);
    ComboBox1->installEventFilter(this);

    const auto guard = [this](void (TfrmQuery::*handler)(QObject *), QObject *sender) {
        return [this, handler, sender] {
            Application::instance().Guard([this, handler, sender] { (this->*handler)(sender); });
        };
    };
    connect(ComboBox1, &QComboBox::editTextChanged, this,
            guard(&TfrmQuery::ComboBox1Change, ComboBox1));
    connect(Button1, &QPushButton::clicked, this, guard(&TfrmQuery::Button1Click, Button1));
    connect(Button2, &QPushButton::clicked, this, guard(&TfrmQuery::Button2Click, Button2));
}

QString TfrmQuery::ColumnForCaption(const QString &caption)
{
    static const std::pair<const char *, const char *> columns[] = {
        {"姓名", "Name"},         {"单位名称", "Dept"},   {"部门", "Part"},
        {"职务", "Job"},          {"办公电话", "JPhone"}, {"传真", "Fax"},
        {"单位地址", "JAddress"}, {"城市", "City"},       {"网址", "WWW"},
        {"E_mail", "E_Mail"},     {"住宅电话", "HPhone"}, {"移动电话", "Moblio"},
        {"家庭地址", "HAddress"}, {"经营范围", "Des"}};
    for (const auto &[text, column] : columns)
        if (caption == QString::fromUtf8(text))
            return QString::fromLatin1(column);
    return QString();
}

// The content goes into the statement as a quoted LIKE pattern: quotes are
// doubled, so it can only ever be part of the pattern; the store's wildcards
// in it keep their meaning.
QString TfrmQuery::searchStatement(const QString &column, const QString &content)
{
    if (content.contains(QChar(0)))
        throw std::runtime_error("查询内容不能包含空字符（NUL）");
    QString pattern = content;
    pattern.replace(QLatin1Char('\''), QLatin1String("''"));
    return store::baseStatement + QStringLiteral(" and ") + column + QStringLiteral(" like '%") +
           pattern + QStringLiteral("%' order by ") + column;
}

void TfrmQuery::showEvent(QShowEvent *event)
{
    // Centred over the owner as it stands now, never off the top or left edge.
    if (const QWidget *owner = parentWidget()) {
        const QRect main = owner->frameGeometry();
        const int frameWidth = main.width() - owner->width();
        const int frameHeight = main.height() - owner->height();
        const int left = main.left() + (main.width() - (width() + frameWidth)) / 2;
        const int top = main.top() + (main.height() - (height() + frameHeight)) / 2;
        move(std::max(left, 0), std::max(top, 0));
    }
    QWidget::showEvent(event);
    // In front and active, also where no window manager activates new windows.
    activateWindow();
    Button1->setFocus();
}

bool TfrmQuery::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ComboBox1) {
        if (event->type() == QEvent::KeyPress &&
            completeFieldBox(static_cast<const QKeyEvent *>(event)))
            return true;
        // Tabbing into the box selects its whole text, even when a completed
        // rest is still selected from before.
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                ComboBox1->lineEdit()->selectAll();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A typed character is added to the text before the selection (to the whole
// text when nothing is selected). When the result begins a caption, the first
// one in list order with letters compared without regard to case, the box
// shows the result as typed followed by the rest of that caption, the rest
// selected; otherwise the character goes in as usual.
bool TfrmQuery::completeFieldBox(const QKeyEvent *key)
{
    const QString typed = key->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    QLineEdit *edit = ComboBox1->lineEdit();
    const QString text = edit->text();
    const QString prefix =
        (edit->hasSelectedText() ? text.left(edit->selectionStart()) : text) + typed;
    const int index = ComboBox1->findText(prefix, Qt::MatchStartsWith);
    if (index < 0)
        return false;
    const QString caption = ComboBox1->itemText(index);
    const QString completed = prefix + caption.mid(prefix.size());
    {
        // The list follows the completed caption, so the arrow keys go on
        // from it.
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(index);
        edit->setText(completed);
    }
    // The focus rule sees the final text only, and only when it changed.
    if (completed != text)
        emit ComboBox1->editTextChanged(completed);
    edit->setSelection(prefix.size(), caption.size() - prefix.size());
    return true;
}

void TfrmQuery::ComboBox1Change(QObject *)
{
    if (ComboBox1->currentText() == allCards)
        Button1->setFocus();
    else
        Edit1->setFocus();
}

void TfrmQuery::Button1Click(QObject *)
{
    const QString text = ComboBox1->currentText();
    // The count is written after either load, so the panel always matches the
    // list.
    store::CurrentSQL = text == allCards ? store::baseStatement
                                         : searchStatement(ColumnForCaption(text), Edit1->text());
    store::ReloadCards(*ADOQuery1);
    ShowCardCount();
    close();
}

void TfrmQuery::Button2Click(QObject *)
{
    close();
}
