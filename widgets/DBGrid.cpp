#include "DBGrid.h"

#include "Application.h"
#include "DataSource.h"
#include "KeyPress.h"
#include "Query.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace widgets {

// The grid's cell editor only shows a value: it takes no text, so no cell is
// ever changed from the grid. Its keys go to the grid first.
class CellViewerDelegate : public QStyledItemDelegate
{
public:
    explicit CellViewerDelegate(DBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setReadOnly(true);
        editor->setContextMenuPolicy(Qt::NoContextMenu);
        editor->setAcceptDrops(false);
        return editor;
    }
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            m_grid->viewerKeyPress(static_cast<QKeyEvent *>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    DBGrid *m_grid;
};

namespace {

QString indicatorFor(const dataset::Query *query)
{
    switch (query->state()) {
    case dataset::Query::State::Edit:
        return QStringLiteral("I");
    case dataset::Query::State::Insert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("▶");
    }
}

} // namespace

DBGridModel::DBGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void DBGridModel::setQuery(dataset::Query *query)
{
    beginResetModel();
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    m_query = query;
    rebuildColumns();
    endResetModel();
    if (!query)
        return;
    connect(query, &dataset::Query::aboutToReset, this, [this] {
        m_changingRows = true;
        beginResetModel();
    });
    connect(query, &dataset::Query::resetDone, this, [this] {
        rebuildColumns();
        m_indicatorRow = m_query->currentRow();
        endResetModel();
        m_changingRows = false;
    });
    connect(query, &dataset::Query::rowAboutToBeAppended, this, [this](int row) {
        m_changingRows = true;
        beginInsertRows(QModelIndex(), row, row);
    });
    connect(query, &dataset::Query::rowAppended, this, [this] {
        endInsertRows();
        m_changingRows = false;
    });
    connect(query, &dataset::Query::rowAboutToBeRemoved, this, [this](int row) {
        if (m_indicatorRow == row)
            m_indicatorRow = -1;
        m_changingRows = true;
        beginRemoveRows(QModelIndex(), row, row);
    });
    connect(query, &dataset::Query::rowRemoved, this, [this] {
        endRemoveRows();
        m_changingRows = false;
    });
    connect(query, &dataset::Query::rowDataChanged, this, [this](int row) {
        if (row >= 0 && !m_columns.empty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    });
    connect(query, &dataset::Query::currentRowChanged, this, &DBGridModel::markIndicator);
    connect(query, &dataset::Query::stateChanged, this,
            [this] { markIndicator(m_query->currentRow()); });
}

void DBGridModel::rebuildColumns()
{
    m_columns.clear();
    if (!m_query)
        return;
    for (const auto &field : m_query->Fields())
        if (field->Visible())
            m_columns.push_back(field.get());
}

void DBGridModel::markIndicator(int row)
{
    const int old = m_indicatorRow;
    m_indicatorRow = row;
    if (old >= 0 && old < rowCount())
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rowCount())
        emit headerDataChanged(Qt::Vertical, row, row);
}

int DBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query ? 0 : m_query->rowCount();
}

int DBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return QVariant();
    ++m_cellsRead;
    return m_query->cellText(index.row(), fieldAt(index.column()));
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? fieldAt(section)->DisplayLabel() : QVariant();
    return m_query && section == m_query->currentRow() ? indicatorFor(m_query) : QString();
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

DBGrid::DBGrid(QWidget *parent) : QTableView(parent), m_model(new DBGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new CellViewerDelegate(this));
    setFocusPolicy(Qt::ClickFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(true);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 8);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setHighlightSections(false);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        followQuery();
    });
}

void DBGrid::setDataSource(DataSource *source)
{
    if (m_source && m_source->DataSet())
        disconnect(m_source->DataSet(), nullptr, this, nullptr);
    m_source = source;
    m_model->setQuery(query());
    if (dataset::Query *q = query())
        connect(q, &dataset::Query::currentRowChanged, this, &DBGrid::followQuery);
    applyColumnWidths();
    followQuery();
}

dataset::Query *DBGrid::query() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

// A column is as wide as its display width in digits of the grid's font, but
// never narrower than its title.
void DBGrid::applyColumnWidths()
{
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics titles(horizontalHeader()->font());
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const dataset::Field *field = m_model->fieldAt(c);
        const int width = field->DisplayWidth() * cells.horizontalAdvance(QLatin1Char('0')) + 4;
        const int title = titles.horizontalAdvance(field->DisplayLabel()) + 4;
        setColumnWidth(c, std::max(width, title));
    }
}

// Puts the grid's current cell on the query's current row.
void DBGrid::followQuery()
{
    dataset::Query *q = query();
    if (!q || q->currentRow() < 0 || m_model->columnCount() == 0)
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = m_model->index(q->currentRow(), column);
    if (currentIndex() == target)
        return;
    m_following = true;
    setCurrentIndex(target);
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    dataset::Query *q = query();
    if (m_following || m_model->changingRows() || !q || !current.isValid() ||
        current.row() == q->currentRow())
        return;
    Application::instance().Guard([q, &current] { q->MoveTo(current.row()); });
    // The move may have been refused (a post that failed): show where the
    // query really stands.
    followQuery();
}

bool DBGrid::typedReturn(const QString &typed)
{
    bool opened = false;
    for (QChar ch : typed) {
        if (OnKeyPress)
            Application::instance().Guard([&] { OnKeyPress(this, ch); });
        if (ch == carriageReturn)
            opened = !opened;
    }
    return opened;
}

void DBGrid::toggleEditor()
{
    if (state() == QAbstractItemView::EditingState) {
        if (QWidget *editor = indexWidget(currentIndex()))
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        else
            closePersistentEditor(currentIndex());
        setFocus();
    } else if (currentIndex().isValid()) {
        edit(currentIndex(), QAbstractItemView::AllEditTriggers, nullptr);
    }
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    dataset::Query *q = query();
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        if (q)
            Application::instance().Guard([q] { q->Cancel(); });
        return;
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        event->accept();
        return;
    default:
        break;
    }
    const QString typed = typedCharacters(event);
    if (!typed.isEmpty()) {
        event->accept();
        if (typedReturn(typed))
            toggleEditor();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Keys in the cell viewer: typed characters go through the same hook, a
// carriage return closes it, Escape closes it and cancels the row's edit.
bool DBGrid::viewerKeyPress(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        toggleEditor();
        if (dataset::Query *q = query())
            Application::instance().Guard([q] { q->Cancel(); });
        return true;
    }
    const QString typed = typedCharacters(event);
    if (typed.isEmpty())
        return false;
    if (typedReturn(typed))
        toggleEditor();
    return true;
}

} // namespace widgets
