#include "kit/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vorn::ui {

bool toGbk(const QString& text, std::string& out) {
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    QByteArray bytes = enc.encode(text);
    if (enc.hasError()) {
        out.clear();
        return false;
    }
    out.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

std::string gbk(const QString& text) {
    std::string out;
    toGbk(text, out);
    return out;
}

QString fromGbk(std::string_view bytes) {
    QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
    return dec.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

int gbkLength(const QString& text) {
    std::string out;
    if (!toGbk(text, out)) return -1;
    return static_cast<int>(out.size());
}

QString truncateGbk(const QString& text, int maxBytes) {
    QString result;
    int used = 0;
    for (int i = 0; i < text.size();) {
        int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString piece = text.mid(i, len);
        int bytes = gbkLength(piece);
        if (bytes < 0) bytes = 2;
        if (used + bytes > maxBytes) break;
        result += piece;
        used += bytes;
        i += len;
    }
    return result;
}

} // namespace vorn::ui
