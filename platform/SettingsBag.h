#pragma once
// A set of named, typed values and its byte form: the container of the settings file.
// The byte form starts with a magic text and a format version and ends with a CRC-32, so a
// foreign, truncated or damaged file is told apart from a bag.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <utility>
#include <variant>
#include <vector>

class SettingsBag {
  public:
    // Index order matches the type codes of the byte form minus one.
    using Value = std::variant<QString, qint16, qint32, bool>;

    static constexpr quint16 kFormatVersion = 1;

    // Adds the key, or replaces its value in place (the key keeps its position).
    void write(const QString& key, const Value& value);
    // nullptr when the bag has no such key (keys match exactly, letter case included).
    const Value* read(const QString& key) const;
    qsizetype size() const { return static_cast<qsizetype>(items_.size()); }
    // The keys in the order they were first written.
    QStringList keys() const;

    // The byte form: keys in the order they were first written.
    QByteArray contents() const;
    // Replaces the bag by the byte form. On a foreign or damaged form the bag stays as it was,
    // `error` (when given) says why, and the result is false.
    bool setContents(const QByteArray& bytes, QString* error = nullptr);
    // The CRC-32 (that of zlib) of `bytes`; the byte form ends with it, little-endian.
    static quint32 checksum(QByteArrayView bytes);

  private:
    std::vector<std::pair<QString, Value>> items_;
};
