#include "platform/Registry.h"

#include "platform/FileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <vector>

namespace {
const QString kFormat = QStringLiteral("QX3 registry");
constexpr int kVersion = 1;
// A few keys of a few programs; anything this large is not our store.
constexpr qint64 kMaxStoreBytes = 16 * 1024 * 1024;

struct NamedValue {
    QString name; // "" is the default value
    Registry::Value value;
};
struct Key {
    quint32 root;
    QString path;
    std::vector<NamedValue> values;
};
using Store = std::vector<Key>;

bool samePath(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString valueName(const QString& name) {
    return name == QLatin1String("*") ? QString() : name;
}

bool validPath(const QString& key) {
    if (key.isEmpty()) return false;
    for (const QString& part : key.split(QLatin1Char('\\')))
        if (part.isEmpty()) return false;
    return true;
}

// False when the store exists but is not ours or cannot be read.
bool load(Store& store) {
    store.clear();
    const QString path = Registry::storePath();
    if (!QFileInfo::exists(path)) return true;
    QByteArray bytes;
    if (!FileRead::regularFile(path, kMaxStoreBytes, bytes)) return false;
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject top = doc.object();
    if (top.value(QLatin1String("format")).toString() != kFormat ||
        top.value(QLatin1String("version")).toInt() != kVersion)
        return false;
    for (const QJsonValue& kv : top.value(QLatin1String("keys")).toArray()) {
        const QJsonObject ko = kv.toObject();
        Key key{static_cast<quint32>(ko.value(QLatin1String("root")).toDouble()),
                ko.value(QLatin1String("path")).toString(),
                {}};
        if (!validPath(key.path)) return false;
        for (const QJsonValue& vv : ko.value(QLatin1String("values")).toArray()) {
            const QJsonObject vo = vv.toObject();
            NamedValue nv;
            nv.name = vo.value(QLatin1String("name")).toString();
            const QString type = vo.value(QLatin1String("type")).toString();
            const QString data = vo.value(QLatin1String("data")).toString();
            if (type == QLatin1String("sz")) {
                nv.value.type = Registry::Type::String;
                nv.value.text = data;
            } else if (type == QLatin1String("binary")) {
                nv.value.type = Registry::Type::Binary;
                nv.value.bytes = QByteArray::fromBase64(data.toLatin1());
            } else {
                return false;
            }
            key.values.push_back(nv);
        }
        store.push_back(key);
    }
    return true;
}

bool save(const Store& store) {
    QJsonArray keys;
    for (const Key& key : store) {
        QJsonArray values;
        for (const NamedValue& nv : key.values) {
            const bool text = nv.value.type == Registry::Type::String;
            values.append(QJsonObject{
                {QStringLiteral("name"), nv.name},
                {QStringLiteral("type"), text ? QStringLiteral("sz") : QStringLiteral("binary")},
                {QStringLiteral("data"),
                 text ? nv.value.text : QString::fromLatin1(nv.value.bytes.toBase64())},
            });
        }
        keys.append(QJsonObject{{QStringLiteral("root"), static_cast<double>(key.root)},
                                {QStringLiteral("path"), key.path},
                                {QStringLiteral("values"), values}});
    }
    const QJsonObject top{{QStringLiteral("format"), kFormat},
                          {QStringLiteral("version"), kVersion},
                          {QStringLiteral("keys"), keys}};
    const QString path = Registry::storePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = QJsonDocument(top).toJson();
    return f.write(bytes) == bytes.size() && f.commit();
}

Key* findKey(Store& store, quint32 root, const QString& path) {
    for (Key& k : store)
        if (k.root == root && samePath(k.path, path)) return &k;
    return nullptr;
}

NamedValue* findValue(Key& key, const QString& name) {
    for (NamedValue& nv : key.values)
        if (samePath(nv.name, name)) return &nv;
    return nullptr;
}
} // namespace

QString Registry::storePath() {
    const QString own = qEnvironmentVariable("QX3_REGISTRY");
    if (!own.isEmpty()) return QFileInfo(own).absoluteFilePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir(QDir::homePath()).filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("QX3/registry.json"));
}

bool Registry::setValue(quint32 root, const QString& key, const QString& name, const Value& value) {
    if (!validPath(key)) return false;
    Store store;
    if (!load(store)) return false;
    // The parents exist as keys of their own, as they would after creating the key.
    const QStringList parts = key.split(QLatin1Char('\\'));
    for (qsizetype n = 1; n <= parts.size(); ++n) {
        const QString path = parts.mid(0, n).join(QLatin1Char('\\'));
        if (!findKey(store, root, path)) store.push_back({root, path, {}});
    }
    Key* k = findKey(store, root, key);
    const QString vn = valueName(name);
    if (NamedValue* nv = findValue(*k, vn))
        nv->value = value;
    else
        k->values.push_back({vn, value});
    return save(store);
}

bool Registry::keyExists(quint32 root, const QString& key) {
    Store store;
    return validPath(key) && load(store) && findKey(store, root, key);
}

std::optional<Registry::Value> Registry::queryValue(quint32 root, const QString& key, const QString& name) {
    Store store;
    if (!validPath(key) || !load(store)) return std::nullopt;
    Key* k = findKey(store, root, key);
    if (!k) return std::nullopt;
    NamedValue* nv = findValue(*k, valueName(name));
    if (!nv) return std::nullopt;
    return nv->value;
}

bool Registry::deleteValue(quint32 root, const QString& key, const QString& name) {
    Store store;
    if (!validPath(key) || !load(store)) return false;
    Key* k = findKey(store, root, key);
    if (!k) return false;
    const QString vn = valueName(name);
    for (auto it = k->values.begin(); it != k->values.end(); ++it)
        if (samePath(it->name, vn)) {
            k->values.erase(it);
            return save(store);
        }
    return false;
}
