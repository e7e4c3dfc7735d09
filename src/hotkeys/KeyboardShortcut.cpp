#include "hotkeys/KeyboardShortcut.h"

#include "platform/KeyEvent.h"

#include <QHash>

#include <charconv>
#include <cstring>
#include <cctype>
#include <cstdint>

namespace gridlume {

namespace {

    // A strict reader for the one shape the shortcut is stored in: a JSON object whose two
    // members are unsigned 32-bit integers. QJsonDocument keeps every number as a double and
    // cannot tell 12 from 12.0 or 1.2e1; the stored form is small enough to read exactly.
    class JsonReader {
    public:
        explicit JsonReader(const QByteArray& text)
            : m_p(text.constData())
            , m_end(text.constData() + text.size())
        {
        }

        std::optional<KeyboardShortcut> readShortcut()
        {
            std::optional<quint32> keyCode;
            std::optional<quint32> modifiers;
            skipSpace();
            if (!consume('{'))
                return std::nullopt;
            skipSpace();
            if (!consume('}')) {
                do {
                    skipSpace();
                    std::optional<QByteArray> name = readString();
                    skipSpace();
                    if (!name || !consume(':'))
                        return std::nullopt;
                    skipSpace();
                    if (*name == "keyCode" || *name == "modifiers") {
                        std::optional<quint32> number = readUInt32();
                        if (!number)
                            return std::nullopt;
                        (*name == "keyCode" ? keyCode : modifiers) = number;
                    } else if (!skipValue(0)) {
                        return std::nullopt;
                    }
                    skipSpace();
                } while (consume(','));
                if (!consume('}'))
                    return std::nullopt;
            }
            skipSpace();
            if (m_p != m_end || !keyCode || !modifiers)
                return std::nullopt;
            return KeyboardShortcut { *keyCode, *modifiers };
        }

    private:
        bool atEnd() const { return m_p == m_end; }
        bool consume(char c)
        {
            if (atEnd() || *m_p != c)
                return false;
            ++m_p;
            return true;
        }
        void skipSpace()
        {
            while (!atEnd() && (*m_p == ' ' || *m_p == '\t' || *m_p == '\n' || *m_p == '\r'))
                ++m_p;
        }

        // Only the escapes JSON allows; the name is returned raw (escapes are not decoded, so
        // an escaped "keyCode" does not count as the member, which is the safe reading).
        std::optional<QByteArray> readString()
        {
            if (!consume('"'))
                return std::nullopt;
            const char* start = m_p;
            while (!atEnd() && *m_p != '"') {
                const unsigned char c = static_cast<unsigned char>(*m_p);
                if (c < 0x20)
                    return std::nullopt;
                if (c == '\\') {
                    ++m_p;
                    if (atEnd())
                        return std::nullopt;
                    if (*m_p == 'u') {
                        for (int i = 0; i < 4; ++i) {
                            ++m_p;
                            if (atEnd() || !std::isxdigit(static_cast<unsigned char>(*m_p)))
                                return std::nullopt;
                        }
                    } else if (!std::strchr("\"\\/bfnrt", *m_p)) {
                        return std::nullopt;
                    }
                }
                ++m_p;
            }
            QByteArray value(start, m_p - start);
            if (!consume('"'))
                return std::nullopt;
            return value;
        }

        // A JSON integer literal in 0…4294967295. Fractions, exponents and signs are refused
        // even where the value would be whole: the stored form never has them.
        std::optional<quint32> readUInt32()
        {
            const char* start = m_p;
            if (!skipNumber())
                return std::nullopt;
            const std::string_view text(start, m_p - start);
            if (text.find_first_not_of("0123456789") != std::string_view::npos)
                return std::nullopt;
            std::uint64_t value = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFull)
                return std::nullopt;
            return static_cast<quint32>(value);
        }

        bool skipDigits()
        {
            const char* start = m_p;
            while (!atEnd() && *m_p >= '0' && *m_p <= '9')
                ++m_p;
            return m_p != start;
        }

        bool skipNumber()
        {
            consume('-');
            if (consume('0')) {
                // no leading zeros
            } else if (!skipDigits()) {
                return false;
            }
            if (consume('.') && !skipDigits())
                return false;
            if (consume('e') || consume('E')) {
                if (!consume('+'))
                    consume('-');
                if (!skipDigits())
                    return false;
            }
            return true;
        }

        bool skipLiteral(std::string_view word)
        {
            if (static_cast<size_t>(m_end - m_p) < word.size() || std::string_view(m_p, word.size()) != word)
                return false;
            m_p += word.size();
            return true;
        }

        // Skips any JSON value; nesting is bounded so that hostile input cannot exhaust the stack.
        bool skipValue(int depth)
        {
            if (depth > 64 || atEnd())
                return false;
            switch (*m_p) {
            case '"':
                return readString().has_value();
            case '{':
            case '[': {
                const char close = *m_p == '{' ? '}' : ']';
                const bool isObject = close == '}';
                ++m_p;
                skipSpace();
                if (consume(close))
                    return true;
                do {
                    skipSpace();
                    if (isObject) {
                        if (!readString())
                            return false;
                        skipSpace();
                        if (!consume(':'))
                            return false;
                        skipSpace();
                    }
                    if (!skipValue(depth + 1))
                        return false;
                    skipSpace();
                } while (consume(','));
                return consume(close);
            }
            case 't':
                return skipLiteral("true");
            case 'f':
                return skipLiteral("false");
            case 'n':
                return skipLiteral("null");
            default:
                return skipNumber();
            }
        }

        const char* m_p;
        const char* m_end;
    };

} // namespace

QByteArray KeyboardShortcut::toJson() const
{
    return "{\"keyCode\":" + QByteArray::number(keyCode) + ",\"modifiers\":" + QByteArray::number(modifiers) + '}';
}

std::optional<KeyboardShortcut> KeyboardShortcut::fromJson(const QByteArray& json)
{
    return JsonReader(json).readShortcut();
}

size_t qHash(const KeyboardShortcut& shortcut, size_t seed) noexcept
{
    return qHashMulti(seed, shortcut.keyCode, shortcut.modifiers);
}

quint32 carbonModifiers(quint64 modifierFlags)
{
    quint32 result = 0;
    if (modifierFlags & ModifierFlag::Control)
        result |= controlKey;
    if (modifierFlags & ModifierFlag::Option)
        result |= optionKey;
    if (modifierFlags & ModifierFlag::Shift)
        result |= shiftKey;
    if (modifierFlags & ModifierFlag::Command)
        result |= cmdKey;
    return result;
}

QStringList modifierSymbols(quint32 modifiers)
{
    QStringList symbols;
    if (modifiers & controlKey)
        symbols.append(QStringLiteral("\u2303"));
    if (modifiers & optionKey)
        symbols.append(QStringLiteral("\u2325"));
    if (modifiers & shiftKey)
        symbols.append(QStringLiteral("\u21E7"));
    if (modifiers & cmdKey)
        symbols.append(QStringLiteral("\u2318"));
    return symbols;
}

QString keyName(quint32 keyCode)
{
    static const QHash<quint32, QString> names = [] {
        QHash<quint32, QString> table;
        const char* letters = "ASDFHGZXCV";
        for (quint32 code = 0; code <= 9; ++code)
            table.insert(code, QString(QLatin1Char(letters[code])));
        const std::pair<quint32, const char*> others[] = {
            { 11, "B" }, { 12, "Q" }, { 13, "W" }, { 14, "E" }, { 15, "R" }, { 16, "Y" }, { 17, "T" }, { 31, "O" },
            { 32, "U" }, { 34, "I" }, { 35, "P" }, { 37, "L" }, { 38, "J" }, { 40, "K" }, { 45, "N" }, { 46, "M" },
            { 18, "1" }, { 19, "2" }, { 20, "3" }, { 21, "4" }, { 22, "6" }, { 23, "5" }, { 25, "9" }, { 26, "7" },
            { 28, "8" }, { 29, "0" }, { 36, "\u21A9" }, { 48, "\u21E5" }, { 49, "\u2423" }, { 51, "\u232B" },
            { 53, "\u238B" }, { 122, "F1" }, { 120, "F2" }, { 99, "F3" }, { 118, "F4" }, { 96, "F5" }, { 97, "F6" },
            { 98, "F7" }, { 100, "F8" }, { 101, "F9" }, { 109, "F10" }, { 103, "F11" }, { 111, "F12" },
            { 123, "\u2190" }, { 124, "\u2192" }, { 125, "\u2193" }, { 126, "\u2191" },
        };
        for (const auto& [code, name] : others)
            table.insert(code, QString::fromUtf8(name));
        return table;
    }();
    const auto it = names.constFind(keyCode);
    if (it != names.constEnd())
        return *it;
    return QStringLiteral("KeyCode(%1)").arg(keyCode);
}

QString displayText(const KeyboardShortcut& shortcut)
{
    return modifierSymbols(shortcut.modifiers).join(QString()) + keyName(shortcut.keyCode);
}

} // namespace gridlume
