#include "kit/text/gbk.h"

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

} // namespace vorn::ui
