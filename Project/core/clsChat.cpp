#include "core/clsChat.h"

#include "platform/Ansi.h"

#include <QHashFunctions>
#include <algorithm>
#include <cstring>

namespace {
// One read takes up to this many datagrams, each into a place that holds the largest one.
constexpr int kPerRead = 64;
constexpr qsizetype kLargest = 65536;
} // namespace

void DatagramBatch::clear() {
    bytes_.clear();
    items_.clear();
}

void DatagramBatch::add(const char* data, qsizetype size, const DatagramSource& from) {
    const qsizetype at = qsizetype(bytes_.size());
    bytes_.insert(bytes_.end(), data, data + size);
    items_.push_back({at, size, from});
}

bool DatagramBatch::same(qsizetype a, qsizetype b) const {
    return items_[a].from == items_[b].from && bytes(a) == bytes(b);
}

void DatagramBatch::dropDuplicates() {
    if (items_.size() < 2) return;
    byHash_.clear();
    for (qsizetype i = 0; i < count(); ++i)
        byHash_.emplace_back(qHashMulti(0, bytes(i), items_[i].from.address, items_[i].from.port), i);
    std::sort(byHash_.begin(), byHash_.end());
    std::vector<char>& dup = dup_;
    dup.assign(items_.size(), 0);
    for (std::size_t run = 0; run < byHash_.size();) {
        std::size_t end = run + 1;
        while (end < byHash_.size() && byHash_[end].first == byHash_[run].first)
            ++end;
        // Within a run of equal hashes, each is compared with the earlier ones still kept.
        for (std::size_t j = run + 1; j < end; ++j)
            for (std::size_t k = run; k < j; ++k)
                if (!dup[byHash_[k].second] && same(byHash_[k].second, byHash_[j].second)) {
                    dup[byHash_[j].second] = 1;
                    break;
                }
        run = end;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (!dup[i]) items_[kept++] = items_[i];
    items_.resize(kept);
}

bool clsChat::Init(const QString& sMail) {
    name_ = sMail;
    error_ = 0;
    if (slot_.create(sMail) != Mailslot::kInvalidHandle) return true;
    error_ = 1;
    return false;
}

bool clsChat::SendMessage(const QString& PopFrom, const QString& PopTo, const QString& MsgText,
                          QString* why) {
    QByteArray bytes(PopFrom.size() + 1 + MsgText.size(), Qt::Uninitialized);
    qsizetype n = Ansi::encode(PopFrom, bytes.data());
    bytes[n++] = '\0';
    n += Ansi::encode(MsgText, bytes.data() + n);
    bytes.truncate(n);
    return Mailslot::send(PopTo, name_, bytes, why);
}

qsizetype clsChat::Receive(DatagramBatch& into) {
    into.clear();
    if (slot_.handle() < 0) return 0;
    if (!scratch_) scratch_.reset(new char[kPerRead * kLargest]);
    char* places[kPerRead];
    for (int i = 0; i < kPerRead; ++i)
        places[i] = scratch_.get() + i * kLargest;
    qsizetype lengths[kPerRead];
    DatagramSource from[kPerRead];
    // A read that finds fewer than it could take has emptied the slot: no further call to learn it.
    for (int n = kPerRead; n == kPerRead;) {
        n = slot_.receive(kPerRead, places, kLargest, lengths, from);
        for (int i = 0; i < n; ++i)
            into.add(places[i], qMin(lengths[i], kLargest), from[i]);
    }
    into.dropDuplicates();
    return into.count();
}

QStringList clsChat::GetMessages() {
    QStringList result;
    const qsizetype n = Receive(batch_);
    result.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView b = batch_.bytes(i);
        result.append(Ansi::decode(b.data(), b.size()));
    }
    return result;
}

void clsChat::CloseHnd() {
    slot_.close();
}
