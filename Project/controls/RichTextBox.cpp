#include "controls/RichTextBox.h"

#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "platform/Colors.h"

#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextOption>
#include <cmath>
#include <map>
#include <vector>

namespace {
constexpr int kIndentProperty = QTextFormat::UserProperty + 10;
constexpr int kHangingProperty = QTextFormat::UserProperty + 11;
constexpr int kTwipsPerPixel = 15;

int twips(double px) {
    return static_cast<int>(std::lround(px * kTwipsPerPixel));
}

// Printable ASCII as it stands; "\", "{" and "}" escaped; tab as \tab; everything else as
// \uN? with N the signed 16-bit value of each UTF-16 unit.
void escapeInto(QString& out, QStringView text, bool fontName) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == '\t' && !fontName) {
            out += QLatin1String("\\tab ");
        } else if (u >= 0x20 && u <= 0x7E && !(fontName && u == ';')) {
            out += c;
        } else {
            out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(u));
        }
    }
}

QString fontOf(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QStringLiteral("Arial") : families.first();
}
} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    document()->setDocumentMargin(2);
    if (frmImgs* imgs = frmImgs::Loaded()) imgs->AddPictureResources(document());
    sel_ = QTextCursor(document());
    fmt_ = sel_.charFormat();
}

double RichTextBox::BlockIndent(const QTextBlock& block) {
    return block.blockFormat().property(kIndentProperty).toDouble();
}

double RichTextBox::BlockHanging(const QTextBlock& block) {
    return block.blockFormat().property(kHangingProperty).toDouble();
}

QString RichTextBox::Text() const {
    QString out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin()) out += QLatin1String("\r\n");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            if (f.isImageFormat() && f.hasProperty(modAppFnc::kPictureCodeProperty)) {
                // An image fragment may hold several pictures of one format in a row.
                const QString code = f.stringProperty(modAppFnc::kPictureCodeProperty);
                for (int i = 0; i < frag.length(); ++i)
                    out += code;
            } else {
                out += frag.text();
            }
        }
    }
    return out;
}

void RichTextBox::ClearText() {
    document()->clear();
    if (frmImgs* imgs = frmImgs::Loaded()) imgs->AddPictureResources(document());
    sel_ = QTextCursor(document());
    fmt_ = QTextCharFormat();
    firstUnscanned_ = 0;
}

void RichTextBox::SelToEnd() {
    sel_.movePosition(QTextCursor::End);
    fmt_ = sel_.charFormat();
    if (fmt_.isImageFormat()) fmt_ = QTextCharFormat(); // after a picture, the text format
    if (QScrollBar* bar = verticalScrollBar()) bar->setValue(bar->maximum());
}

void RichTextBox::SetSelText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Only the paragraph break is structure here; every other character is text.
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char(' '));
    t.replace(QChar(QChar::LineSeparator), QLatin1Char(' '));
    t.replace(QChar(QChar::ObjectReplacementCharacter), QLatin1Char(' '));
    QTextCharFormat f = fmt_;
    f.clearProperty(QTextFormat::ObjectType);
    sel_.insertText(t, f);
}

void RichTextBox::SetSelColor(quint32 colour) {
    fmt_.setForeground(Colors::fromBgr(colour & 0xFFFFFFu));
}

void RichTextBox::SetSelFontName(const QString& name) {
    fmt_.setFontFamilies(QStringList{name});
}

void RichTextBox::SetSelIndent(double indent) {
    QTextBlockFormat b = sel_.blockFormat();
    b.setProperty(kIndentProperty, indent);
    sel_.setBlockFormat(b);
    applyIndents();
}

void RichTextBox::SetSelHangingIndent(double hanging) {
    QTextBlockFormat b = sel_.blockFormat();
    b.setProperty(kHangingProperty, hanging);
    sel_.setBlockFormat(b);
    applyIndents();
}

void RichTextBox::applyIndents() {
    QTextBlockFormat b = sel_.blockFormat();
    const double indent = b.property(kIndentProperty).toDouble();
    const double hanging = b.property(kHangingProperty).toDouble();
    b.setLeftMargin(indent + hanging);
    b.setTextIndent(-hanging);
    QList<QTextOption::Tab> tabs;
    // Tab stops count from where the first line starts.
    if (hanging > 0) tabs << QTextOption::Tab(hanging, QTextOption::LeftTab);
    b.setTabPositions(tabs);
    sel_.setBlockFormat(b);
}

void RichTextBox::InsertPictures() {
    modAppFnc::InsertPictures(document(), firstUnscanned_);
    firstUnscanned_ = qMax(0, document()->blockCount() - 1);
}

QString RichTextBox::TextRTF() const {
    return ToRtf(document());
}

QString RichTextBox::ToRtf(const QTextDocument* doc) {
    std::vector<QString> fonts;
    std::vector<quint32> colours;
    auto fontIndex = [&](const QString& name) {
        for (std::size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == name) return int(i);
        fonts.push_back(name);
        return int(fonts.size() - 1);
    };
    auto colourIndex = [&](quint32 bgr) {
        for (std::size_t i = 0; i < colours.size(); ++i)
            if (colours[i] == bgr) return int(i) + 1; // 0 is the automatic colour
        colours.push_back(bgr);
        return int(colours.size());
    };
    fontIndex(QStringLiteral("Arial"));
    QString body;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const bool last = !b.next().isValid();
        if (last && b.length() <= 1) break; // the empty paragraph after the last line break
        const QTextBlockFormat bf = b.blockFormat();
        const double indent = bf.property(kIndentProperty).toDouble();
        const double hanging = bf.property(kHangingProperty).toDouble();
        body += QStringLiteral("\\pard\\li%1\\fi%2").arg(twips(indent + hanging)).arg(-twips(hanging));
        if (hanging > 0) body += QStringLiteral("\\tx%1").arg(twips(indent + hanging));
        body += QLatin1Char(' ');
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            const quint32 colour =
                f.hasProperty(QTextFormat::ForegroundBrush) ? Colors::toBgr(f.foreground().color()) : 0;
            const double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 10.0;
            body += QStringLiteral("\\plain\\f%1\\fs%2\\cf%3 ")
                        .arg(fontIndex(fontOf(f)))
                        .arg(int(std::lround(points * 2)))
                        .arg(colourIndex(colour));
            if (f.isImageFormat()) {
                const QTextImageFormat img = f.toImageFormat();
                const QImage pic =
                    doc->resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
                QByteArray png;
                QBuffer buf(&png);
                buf.open(QIODevice::WriteOnly);
                pic.save(&buf, "PNG");
                for (int i = 0; i < frag.length(); ++i)
                    body += QStringLiteral("{\\pict\\pngblip\\picw%1\\pich%2\\picwgoal%3\\pichgoal%4 %5}")
                                .arg(pic.width())
                                .arg(pic.height())
                                .arg(pic.width() * kTwipsPerPixel)
                                .arg(pic.height() * kTwipsPerPixel)
                                .arg(QString::fromLatin1(png.toHex()));
            } else {
                escapeInto(body, frag.text(), false);
            }
        }
        if (!last) body += QLatin1String("\\par\r\n");
    }
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl");
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += QStringLiteral("{\\f%1\\fnil ").arg(i);
        escapeInto(out, fonts[i], true);
        out += QLatin1String(";}");
    }
    out += QLatin1String("}\r\n{\\colortbl ;");
    for (quint32 c : colours)
        out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                   .arg(c & 0xFF)
                   .arg((c >> 8) & 0xFF)
                   .arg((c >> 16) & 0xFF);
    out += QLatin1String("}\r\n");
    out += body;
    out += QLatin1String("}\r\n");
    return out;
}
