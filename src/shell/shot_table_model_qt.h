#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "engine/shot_table.h"

// The shot table's columns, in order, as the CSV has them.
enum class ShotColumn { Shot, Time, Position, Split, Rate, Counts };
inline constexpr int kShotColumnCount = 6;

// The held clip's shots, a row each. Text as the waveform labels show
// numbers (three decimals); kSortRole gives the exact value, so sorting by
// split is by the split itself, and the last shot's empty split sorts last.
class ShotTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kSortRole = Qt::UserRole;

  explicit ShotTableModel(QObject* parent) : QAbstractTableModel(parent) {}
  void SetRows(std::vector<ShotRow> rows);
  const std::vector<ShotRow>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ShotRow> rows_;
};
