// A text file merged into a send box: any bytes, read as UTF-8 or Windows-1252. What comes out
// is whole lines each ended by CR LF, and what goes into the box stays within its 390
// characters and holds no separator or NUL.
#include "FuzzEnv.h"
#include "controls/SendBox.h"
#include "core/modGlobals.h"

#include <QFile>

namespace {
FuzzEnv::Env* env;
SendBox* box;
QString path;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    env = &FuzzEnv::init();
    box = new SendBox;
    path = FuzzEnv::file(*env, QStringLiteral("merge.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) FuzzEnv::fail("cannot write the input file");
        f.write(FuzzEnv::bytes(data, size));
    }
    QString text, error;
    FuzzEnv::check(SendBox::ReadMergeIn(path, text, error), "a regular file was not read");
    FuzzEnv::check(text.isEmpty() || text.endsWith(QLatin1String("\r\n")), "a last line without CR LF");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r'))
            FuzzEnv::check(i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'), "a CR alone");
        if (c == QLatin1Char('\n'))
            FuzzEnv::check(i > 0 && text.at(i - 1) == QLatin1Char('\r'), "an LF alone");
    }
    box->SetText(QString());
    box->SetSelText(text);
    const QString sent = box->Text();
    FuzzEnv::check(box->TextLength() <= SendBox::kMaxLength, "more than the send box holds");
    FuzzEnv::check(sent.size() == box->TextLength(), "the length counted wrong");
    FuzzEnv::check(!sent.contains(modGlobals::kSep) && !sent.contains(QChar(0)),
                   "a separator in the send box");
    return 0;
}
