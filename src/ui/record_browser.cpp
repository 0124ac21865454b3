#include "ui/record_browser.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QSplitter>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/decoded_text.h"
#include "ui/find_bar.h"
#include "ui/record_details.h"
#include "ui/record_order_model.h"

namespace quillet {
namespace {

constexpr int kFitRows = 100;      // columns fit the first rows, not a million
constexpr int kFitCharacters = 50;  // and no wider than this many average characters
constexpr int kProgressDelayMs = 500;

QString SpreadsheetCell(QString text) {
    while (text.endsWith(u' ')) text.chop(1);
    if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(u'"')) return text;
    return u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

}  // namespace

RecordBrowser::RecordBrowser(QAbstractItemModel* source, QWidget* parent)
    : QWidget(parent),
      order_(new RecordOrderModel(this)),
      view_(new QTableView),
      findBar_(new FindBar),
      details_(new QTextBrowser),
      splitter_(new QSplitter),
      progress_(new QProgressBar),
      progressDelay_(new QTimer(this)),
      findAction_(new QAction(tr("&Find..."), this)),
      findNextAction_(new QAction(tr("Find &Next"), this)),
      findPreviousAction_(new QAction(tr("Find &Previous"), this)),
      detailsAction_(new QAction(tr("Record &Details"), this)),
      copyAction_(new QAction(tr("&Copy"), this)) {
    order_->setSourceModel(source);
    view_->setModel(order_);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Sorting on: a header press no longer selects its column (the model's own sort does nothing).
    view_->setSortingEnabled(true);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->horizontalHeader()->setResizeContentsPrecision(kFitRows);
    details_->setObjectName(QStringLiteral("recordDetails"));
    details_->hide();
    findBar_->hide();
    progress_->setObjectName(QStringLiteral("orderProgress"));
    progress_->setRange(0, 1000);
    progress_->hide();
    progressDelay_->setSingleShot(true);
    progressDelay_->setInterval(kProgressDelayMs);
    splitter_->addWidget(view_);
    splitter_->addWidget(details_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(findBar_);
    layout->addWidget(splitter_, 1);
    layout->addWidget(progress_);

    findAction_->setShortcut(QKeySequence::Find);
    findNextAction_->setShortcut(Qt::Key_F3);
    findPreviousAction_->setShortcut(Qt::SHIFT | Qt::Key_F3);
    detailsAction_->setShortcut(Qt::Key_F4);
    detailsAction_->setCheckable(true);
    detailsAction_->setIconText(tr("Deta&ils"));
    detailsAction_->setToolTip(tr("Show the current record's fields in full (F4)"));
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WidgetShortcut);  // elsewhere Ctrl+C copies what that box holds
    view_->addAction(copyAction_);
    addActions({findAction_, findNextAction_, findPreviousAction_, detailsAction_});

    connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        // With Ctrl or Shift the click adds the column to the selection (for copying) instead.
        if (QGuiApplication::keyboardModifiers() == Qt::NoModifier) {
            order_->CycleSort(column);
        } else if (order_->rowCount() > 0) {
            view_->selectionModel()->select(QItemSelection(order_->index(0, column), order_->index(order_->rowCount() - 1, column)),
                                            QItemSelectionModel::Select);
        }
        view_->horizontalHeader()->setSortIndicator(order_->SortColumn(), order_->SortOrder());
    });
    // The counted matches belong to the table the source let go of.
    connect(order_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        matches_.reset();
        pendingStep_ = 0;
    });
    connect(order_, &RecordOrderModel::arranged, this, &RecordBrowser::Arranged);
    connect(order_, &RecordOrderModel::matchesCounted, this, &RecordBrowser::TakeMatches);
    connect(order_, &RecordOrderModel::progress, progress_, &QProgressBar::setValue);
    connect(order_, &RecordOrderModel::busyChanged, this, [this](bool busy) {
        if (busy && !progressDelay_->isActive() && progress_->isHidden()) progressDelay_->start();
        if (!busy) {
            progressDelay_->stop();
            progress_->hide();
        }
    });
    connect(progressDelay_, &QTimer::timeout, progress_, &QWidget::show);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid()) {
            currentRecord_ = order_->RecordAt(current.row());
            currentColumn_ = current.column();
        }
        ShowCurrent();
    });
    connect(findBar_, &FindBar::findChanged, this, &RecordBrowser::StartFind);
    connect(findBar_, &FindBar::filterChanged, this, [this] { order_->SetFilter(findBar_->FilterQuery()); });
    connect(findBar_, &FindBar::nextRequested, this, [this] { Step(false); });
    connect(findBar_, &FindBar::previousRequested, this, [this] { Step(true); });
    connect(findBar_, &FindBar::closed, view_, qOverload<>(&QWidget::setFocus));
    connect(findAction_, &QAction::triggered, findBar_, &FindBar::Open);
    connect(findNextAction_, &QAction::triggered, this, [this] { Step(false); });
    connect(findPreviousAction_, &QAction::triggered, this, [this] { Step(true); });
    connect(detailsAction_, &QAction::toggled, this, [this](bool on) {
        details_->setVisible(on);
        ShowCurrent();
    });
    connect(copyAction_, &QAction::triggered, this, &RecordBrowser::Copy);
}

void RecordBrowser::SetTable(const OpenTable* table, char decimalSeparator) {
    currentRecord_ = -1;
    order_->SetTable(table, decimalSeparator);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    QStringList names;
    for (int field = 0; table != nullptr && field < table->ColumnCount; ++field) {
        names << Decoded(*table->TableCodePage, table->FieldNames[static_cast<std::size_t>(field)]);
    }
    findBar_->SetFields(names);
    StartFind();
    if (!findBar_->FilterQuery().Text.isEmpty()) order_->SetFilter(findBar_->FilterQuery());
    if (table != nullptr) FitColumns();
    ShowCurrent();
}

void RecordBrowser::FitColumns() {
    view_->resizeColumnsToContents();
    const QFontMetrics metrics = view_->fontMetrics();
    QHeaderView* header = view_->horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        header->resizeSection(column, std::min(header->sectionSize(column), metrics.averageCharWidth() * kFitCharacters));
    }
    // The last record's number is the widest, though it is not among the first rows.
    const QString widest = QString::number(order_->Table()->RecordCount());
    header->resizeSection(RecordOrderModel::kNumberColumn,
                          std::max(header->sectionSize(RecordOrderModel::kNumberColumn),
                                   metrics.horizontalAdvance(widest) + 2 * metrics.averageCharWidth()));
}

QString RecordBrowser::FilterText() const {
    if (!order_->Filtered()) return {};
    const QLocale locale;
    return tr("%1 of %2 records").arg(locale.toString(order_->rowCount()), locale.toString(order_->Table()->RecordCount()));
}

void RecordBrowser::StartFind() {
    findQuery_ = findBar_->FindQuery();
    matches_.reset();
    findBar_->ShowOutcome({});
    order_->CountMatchesOf(findQuery_);
}

void RecordBrowser::TakeMatches(std::vector<std::uint16_t> counts) {
    matches_.emplace(std::move(counts), CellMatcher(*order_->Table(), findQuery_, order_->DecimalSeparator()),
                     order_->rowCount(), [this](int row) { return order_->RecordAt(row); });
    const int step = std::exchange(pendingStep_, 0);
    if (step != 0) {
        Step(step < 0);
        return;
    }
    // As the text is typed: the first match from the current cell on, that cell included.
    const QModelIndex current = view_->currentIndex();
    Go(current.isValid() ? CellPlace{current.row(), order_->FieldOfColumn(current.column()) - 1} : CellPlace{}, false);
}

void RecordBrowser::Step(bool backward) {
    if (!matches_) {
        if (!findQuery_.Text.isEmpty()) pendingStep_ = backward ? -1 : 1;
        return;
    }
    const QModelIndex current = view_->currentIndex();
    Go(current.isValid() ? CellPlace{current.row(), order_->FieldOfColumn(current.column())} : CellPlace{}, backward);
}

void RecordBrowser::Go(CellPlace from, bool backward) {
    const CellPlace found = matches_->Next(from, backward);
    if (found.Row < 0) {
        findBar_->ShowOutcome(tr("not found"));
        return;
    }
    const QModelIndex index = order_->index(found.Row, order_->ColumnOfField(found.Field));
    view_->setCurrentIndex(index);
    view_->scrollTo(index);
    const QLocale locale;
    findBar_->ShowOutcome(tr("%1 of %2").arg(locale.toString(matches_->NumberOf(found)), locale.toString(matches_->Total())));
}

void RecordBrowser::Arranged() {
    if (matches_) matches_->Rearranged(order_->rowCount());
    // A filter takes every row away and brings the kept ones back: the current record returns.
    if (!view_->currentIndex().isValid() && currentRecord_ >= 0) {
        const int row = order_->RowOf(currentRecord_);
        if (row >= 0) view_->setCurrentIndex(order_->index(row, currentColumn_));
    }
    if (view_->currentIndex().isValid()) view_->scrollTo(view_->currentIndex());
    ShowCurrent();
    emit filterTextChanged(FilterText());
}

void RecordBrowser::ShowCurrent() {
    if (details_->isHidden()) return;
    const QModelIndex current = view_->currentIndex();
    if (order_->Table() == nullptr || !current.isValid()) {
        details_->clear();
        return;
    }
    details_->setHtml(RecordDetailsHtml(*order_->Table(), order_->RecordAt(current.row()), order_->DecimalSeparator()));
}

void RecordBrowser::Copy() {
    QGuiApplication::clipboard()->setText(SelectedCellsText(*order_, *view_->selectionModel()));
}

QString SelectedCellsText(const QAbstractItemModel& model, const QItemSelectionModel& selection) {
    std::vector<bool> rows(static_cast<std::size_t>(model.rowCount()));
    std::vector<int> columns;
    for (const QItemSelectionRange& range : selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows[static_cast<std::size_t>(row)] = true;
        for (int column = range.left(); column <= range.right(); ++column) columns.push_back(column);
    }
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    QString text;
    const auto line = [&text, &columns](const auto& cellAt) {
        for (std::size_t i = 0; i < columns.size(); ++i) text += (i > 0 ? QStringLiteral("\t") : QString()) + cellAt(columns[i]);
        text += u'\n';
    };
    const bool wholeColumns = !columns.empty() && std::all_of(columns.begin(), columns.end(), [&selection](int column) {
        return selection.isColumnSelected(column);
    });
    if (wholeColumns) line([&model](int column) { return SpreadsheetCell(model.headerData(column, Qt::Horizontal).toString()); });
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!rows[row]) continue;
        line([&](int column) {
            const QModelIndex index = model.index(static_cast<int>(row), column);
            return selection.isSelected(index) ? SpreadsheetCell(index.data().toString()) : QString();
        });
    }
    return text;
}

}  // namespace quillet
