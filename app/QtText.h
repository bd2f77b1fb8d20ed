#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "support/StringTable.h"

class QWidget;

namespace zep {

// Controls carry text numbers (property "tag"; an action's text; a tab's data and tool tip; a
// toolbar button's tool tip; a heading's kColumnTagRole data) that become string-table texts.
inline constexpr char kTagProperty[] = "tag";
inline constexpr int kColumnTagRole = 0x0100;  // Qt::UserRole

// Window font from texts 101 and 102 (controls keep theirs); what cannot apply is skipped.
void ApplyResStrings(QWidget* window);

// String-table texts are UTF-8, labels from files the locale's encoding, paths raw bytes.
inline QString Res(std::int32_t id) {
    const std::string_view text = ResString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromPath(std::string_view path) {
    return QFile::decodeName(Bytes(path));
}

inline std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace zep
