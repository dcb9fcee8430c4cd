// The selection panel's range rules: the exit check that trims the two range texts, rewrites
// float texts and puts begin and end into order by the value type; and the date values it
// compares.
#include "controls/SelectPnl.h"

#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/UnicodeText.h"

#include <limits>
#include <utility>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// Texts

namespace {

// A decimal integer with an optional sign and nothing else; false for anything else and for a
// value that does not fit.
bool ReadInteger(std::string_view t, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    if (i == t.size())
        return false;
    unsigned long long v = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
                 : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        unsigned d = static_cast<unsigned>(t[i] - '0');
        if (v > (limit - d) / 10)
            return false;
        v = v * 10 + d;
    }
    value = negative ? static_cast<long long>(0 - v) : static_cast<long long>(v);
    return true;
}

long long IntegerOr0(std::string_view t) {
    long long v = 0;
    return ReadInteger(TrimBlanks(t), v) ? v : 0;
}

// A float range text rewritten as its integer part (read as an integer), "." and its fraction
// as typed, and the number it denotes. Under a mask the rewritten text keeps the mask's layout
// (integer part right-aligned before the point, fraction left-aligned after it), so that the
// mask puts every digit back in its place.
struct FloatText {
    std::string text;
    double value = 0;
};

FloatText RewriteFloat(std::string_view s, std::string_view layout) {
    std::size_t dot = s.find('.');
    std::string intPart = TrimText(dot == std::string_view::npos ? s : s.substr(0, dot));
    std::string frac = dot == std::string_view::npos ? std::string() : TrimText(s.substr(dot + 1));
    long long whole = 0;
    bool negative = false;
    if (ReadInteger(intPart, whole))
        negative = intPart[0] == '-';
    // "-0.5" keeps its sign: the integer part alone reads as 0.
    std::string intText = negative && whole == 0 ? "-0" : std::to_string(whole);
    FloatText r;
    r.text = dot == std::string_view::npos ? intText : intText + "." + frac;
    double fraction = 0, scale = 0.1;
    for (char c : frac) {
        if (c < '0' || c > '9')
            break;
        fraction += (c - '0') * scale;
        scale /= 10;
    }
    double magnitude = static_cast<double>(whole < 0 ? -whole : whole) + fraction;
    r.value = negative ? -magnitude : magnitude;
    std::size_t layoutDot = layout.find('.');
    if (dot != std::string_view::npos && layoutDot != std::string_view::npos) {
        std::size_t intWidth = CodePointCount(layout.substr(0, layoutDot));
        std::size_t fracWidth = CodePointCount(layout.substr(layoutDot + 1));
        if (intText.size() <= intWidth && CodePointCount(frac) <= fracWidth)
            r.text = std::string(intWidth - intText.size(), ' ') + intText + "." + frac +
                     std::string(fracWidth - CodePointCount(frac), ' ');
    }
    return r;
}

} // namespace

int LocaleCompareText(std::string_view a, std::string_view b) {
    return LocaleCompareTextNoCase(a, b);
}

// ---------------------------------------------------------------------------------------------
// Range values

double RangeDateValue(std::string_view text, std::string_view sep, TDateType layout,
                      std::string_view blankMaskText) {
    std::string t = TrimText(text);
    if (t.empty() || t == TrimBlanks(blankMaskText) || sep.empty())
        return 0;
    int count = 0;
    for (std::string_view rest = t;;) {
        std::size_t p = rest.find(sep);
        if (p == std::string_view::npos)
            break;
        ++count;
        rest = rest.substr(p + 1);
    }
    const std::string s(sep);
    if (count == 1) {
        // A date without day: the first of the month.
        switch (layout) {
        case dt_YYYYMMDD:
        case dt_YYMMDD:
        case dt_YYYMMDD:
            t = t + s + "01";
            break;
        case dt_MMDDYYYY: {
            std::size_t p = t.find(sep);
            t = t.substr(0, p) + s + "01" + t.substr(p);
            break;
        }
        case dt_DDMMYYYY:
            t = "01" + s + t;
            break;
        default:
            return 0;
        }
    } else if (count != 2) {
        return 0;
    }
    std::size_t p1 = t.find(sep);
    std::string_view rest = std::string_view(t).substr(p1 + sep.size());
    std::size_t p2 = rest.find(sep);
    long long part[3];
    const std::string_view texts[3] = {std::string_view(t).substr(0, p1), rest.substr(0, p2),
                                       rest.substr(p2 + sep.size())};
    for (int i = 0; i < 3; ++i)
        if (!ReadInteger(TrimBlanks(texts[i]), part[i]))
            return 0;
    long long y = 0, m = 0, d = 0;
    switch (layout) {
    case dt_YYYYMMDD:
        y = part[0], m = part[1], d = part[2];
        break;
    case dt_MMDDYYYY:
        y = part[2], m = part[0], d = part[1];
        break;
    case dt_DDMMYYYY:
        y = part[2], m = part[1], d = part[0];
        break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
        y = part[0] + MinguoYearOffset, m = part[1], d = part[2];
        break;
    default:
        return 0;
    }
    TDateTime date = 0;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31 ||
        !TryEncodeDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), date))
        return 0;
    return date;
}

bool OrderRangeTexts(const TRangeRules& rules, std::string& beginText, std::string& finalText) {
    std::string b = rules.KeepBlanks ? beginText : TrimText(beginText);
    std::string e = rules.KeepBlanks ? finalText : TrimText(finalText);
    // Under a mask the edits keep their texts as they stand: the mask pads them again anyway,
    // and taking leading blanks away would move the typed characters to other positions.
    const bool masked = !rules.BlankMaskText.empty();
    std::string writeBegin = masked ? beginText : b;
    std::string writeFinal = masked ? finalText : e;
    auto done = [&](bool exchange) {
        if (exchange)
            std::swap(writeBegin, writeFinal);
        beginText = std::move(writeBegin);
        finalText = std::move(writeFinal);
        return exchange;
    };
    if (b.empty() || e.empty())
        return done(false);
    const std::string blank = TrimText(rules.BlankMaskText);
    auto untouched = [&](const std::string& t) { return masked && TrimText(t) == blank; };
    auto discarded = [&](const std::string& t) {
        return rules.UseDiscard && TrimText(t) == rules.Discard;
    };
    // An untouched edit holds no value, whatever the value type.
    if (untouched(b) || untouched(e))
        return done(false);
    switch (rules.ValueType) {
    case vt_String:
    case vt_Time:
        if (discarded(b) || discarded(e))
            return done(false);
        return done(CompareCp950(b, e) > 0);
    case vt_Number:
        return done(IntegerOr0(b) > IntegerOr0(e));
    case vt_Date:
        if (!rules.AutoChangeDateSite || discarded(b) || discarded(e))
            return done(false);
        if (rules.DateType == dt_NoneCare)
            return done(CompareCp950(b, e) > 0);
        return done(RangeDateValue(b, rules.DateSign, rules.DateType, rules.BlankMaskText) >
                    RangeDateValue(e, rules.DateSign, rules.DateType, rules.BlankMaskText));
    case vt_Float: {
        FloatText fb = RewriteFloat(b, rules.BlankMaskText);
        FloatText fe = RewriteFloat(e, rules.BlankMaskText);
        writeBegin = fb.text;
        writeFinal = fe.text;
        return done(fb.value > fe.value);
    }
    case vt_OtherMask:
    default:
        return done(false);
    }
}

} // namespace nuv
