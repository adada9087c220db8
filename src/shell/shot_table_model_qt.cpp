#include "shell/shot_table_model_qt.h"

#include <array>
#include <limits>

namespace {

struct ColumnText {
  const char* title;
  const char* tooltip;
};

constexpr std::array<ColumnText, kShotColumnCount> kColumns = {{
    {"Shot", "The shot's place in the clip, counted from 1"},
    {"Time (s)", "When the shot starts, in seconds from the clip's start"},
    {"Position", "Where the shot starts, in samples from the clip's start"},
    {"Split (ms)", "Milliseconds from this shot to the next"},
    {"Rate (BPS)", "Balls per second from this shot to the next"},
    {"Counts", "Whether this split counts towards the figures: rates of 30 BPS or more do not"},
}};

constexpr int kDecimals = 3;

QVariant SortValue(const ShotRow& row, ShotColumn column) {
  constexpr double kNone = std::numeric_limits<double>::infinity();
  switch (column) {
    case ShotColumn::Shot:
      return row.number;
    case ShotColumn::Time:
      return row.time_s;
    case ShotColumn::Position:
      return row.position;
    case ShotColumn::Split:
      return row.has_next ? static_cast<double>(row.split_ms) : kNone;
    case ShotColumn::Rate:
      return row.has_next ? static_cast<double>(row.rate_bps) : kNone;
    case ShotColumn::Counts:
      return row.has_next ? static_cast<int>(row.counts) : 2;
  }
  return {};
}

QString DisplayText(const ShotRow& row, ShotColumn column) {
  switch (column) {
    case ShotColumn::Shot:
    case ShotColumn::Position:
      return SortValue(row, column).toString();
    case ShotColumn::Time:
      return QString::number(row.time_s, 'f', kDecimals);
    case ShotColumn::Split:
    case ShotColumn::Rate:
      return row.has_next ? QString::number(SortValue(row, column).toDouble(), 'f', kDecimals)
                          : QString();
    case ShotColumn::Counts:
      return row.has_next ? (row.counts ? QStringLiteral("yes") : QStringLiteral("no")) : QString();
  }
  return {};
}

}  // namespace

void ShotTableModel::SetRows(std::vector<ShotRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int ShotTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ShotTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kShotColumnCount;
}

QVariant ShotTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount({})) {
    return {};
  }
  const ShotRow& row = rows_[static_cast<std::size_t>(index.row())];
  const auto column = static_cast<ShotColumn>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return DisplayText(row, column);
    case kSortRole:
      return SortValue(row, column);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant ShotTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kShotColumnCount) {
    return {};
  }
  const ColumnText& text = kColumns[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) {
    return QString::fromLatin1(text.title);
  }
  if (role == Qt::ToolTipRole) {
    return QString::fromLatin1(text.tooltip);
  }
  return {};
}
