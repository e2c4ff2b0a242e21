#pragma once

#include "DataAware.h"
#include "Query.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <vector>

namespace widgets {

// The rows of a query as a table: one column per visible field, in field order,
// titled with the field's display label. Only the rows a view asks for are read.
class DBGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DBGridModel(QObject *parent = nullptr);
    void setQuery(dataset::Query *query);
    dataset::Query *query() const { return m_query; }
    dataset::Field *fieldAt(int column) const { return m_columns[std::size_t(column)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // How many cell values have been read: lets a test see that rows that are
    // not shown are never read.
    long long cellsRead() const { return m_cellsRead; }
    // True while rows come or go or the model is reset: the view then moves
    // its current index by itself, which is no move of the user's.
    bool changingRows() const { return m_changingRows; }

private:
    void rebuildColumns();
    void markIndicator(int row);

    QPointer<dataset::Query> m_query;
    std::vector<dataset::Field *> m_columns;
    int m_indicatorRow = -1;
    bool m_changingRows = false;
    mutable long long m_cellsRead = 0;
};

// A grid over its data source. The Tab key never enters it; a click does.
// It moves the current row (arrows, pages, Ctrl+Home/End, the mouse), Escape
// cancels the row being edited, and Enter opens and closes a cell viewer. It
// never changes a cell and never adds or removes a row by itself.
class DBGrid : public QTableView, public DataAware
{
    Q_OBJECT
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
public:
    explicit DBGrid(QWidget *parent = nullptr);
    void setDataSource(DataSource *source) override;
    DBGridModel *gridModel() const { return m_model; }

    // Sees each typed character first and may replace it; a carriage return
    // opens or closes the cell viewer.
    std::function<void(QObject *sender, QChar &key)> OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class CellViewerDelegate;
    bool viewerKeyPress(QKeyEvent *event);
    dataset::Query *query() const;
    void applyColumnWidths();
    void followQuery();
    // Runs typed characters through the hook; true when one came out as a
    // carriage return.
    bool typedReturn(const QString &typed);
    void toggleEditor();

    DBGridModel *m_model;
    QPointer<DataSource> m_source;
    bool m_following = false;
};

} // namespace widgets
