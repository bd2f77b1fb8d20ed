#include "app/FileListRows.h"

#include <QFile>
#include <QLabel>
#include <QTreeWidget>

namespace zep {
namespace {

// Where a row keeps what the file operations see of it.
constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kTextRole = Qt::UserRole + 2;

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString Shown(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QTreeWidgetItem* FileListRows::RowAt(std::int32_t position) const {
    return lvFile_.topLevelItem(position - 1);
}

QTreeWidgetItem* FileListRows::RowWithKey(std::string_view key) const {
    const QByteArray keyBytes = Bytes(key);
    for (int i = 0; i < lvFile_.topLevelItemCount(); ++i) {
        if (lvFile_.topLevelItem(i)->data(0, kKeyRole).toByteArray() == keyBytes) {
            return lvFile_.topLevelItem(i);
        }
    }
    return nullptr;
}

std::int32_t FileListRows::PositionOf(const QTreeWidgetItem* row) const {
    return lvFile_.indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(row)) + 1;
}

std::string FileListRows::TextOf(const QTreeWidgetItem* row) {
    return row->data(0, kTextRole).toByteArray().toStdString();
}

std::string FileListRows::KeyOf(const QTreeWidgetItem* row) {
    return row->data(0, kKeyRole).toByteArray().toStdString();
}

std::int32_t FileListRows::TagOf(const QTreeWidgetItem* row) {
    return row->data(0, kTagRole).toInt();
}

std::int32_t FileListRows::AppendRow(std::string_view key, std::string_view text) {
    if (RowWithKey(key) != nullptr) {
        return kErrKeyNotUnique;
    }
    auto* row = new QTreeWidgetItem(&lvFile_);
    row->setData(0, kKeyRole, Bytes(key));
    row->setData(0, kTagRole, 0);
    SetRowText(PositionOf(row), text);
    return 0;
}

std::int32_t FileListRows::RowCount() const {
    return lvFile_.topLevelItemCount();
}

std::string FileListRows::RowKey(std::int32_t position) const {
    return KeyOf(RowAt(position));
}

std::string FileListRows::RowText(std::int32_t position) const {
    return TextOf(RowAt(position));
}

void FileListRows::SetRowText(std::int32_t position, std::string_view text) {
    QTreeWidgetItem* row = RowAt(position);
    row->setData(0, kTextRole, Bytes(text));
    row->setText(0, Shown(text));
}

std::int32_t FileListRows::RowTag(std::int32_t position) const {
    return TagOf(RowAt(position));
}

void FileListRows::SetRowTag(std::int32_t position, std::int32_t tag) {
    RowAt(position)->setData(0, kTagRole, tag);
}

void FileListRows::SetRowFullPath(std::int32_t position, std::string_view path) {
    RowAt(position)->setText(1, QFile::decodeName(Bytes(path)));
}

void FileListRows::SelectRow(std::int32_t position) {
    lvFile_.setCurrentItem(RowAt(position));
}

void FileListRows::RemoveRow(std::int32_t position) {
    delete RowAt(position);
}

void FileListRows::SetStatusText(std::string_view text) {
    statusText_.setText(Shown(text));
}

}  // namespace zep
