#include "reportengine/reportlayout.h"

#include "reportengine/valueformat.h"

#include <QtCore/QFileInfo>
#include <QtGui/QFontDatabase>

#include <algorithm>
#include <cmath>
#include <array>
#include <deque>
#include <map>

namespace lg::reportengine {

using namespace Qt::StringLiterals;

namespace {

// Tahoma is the font of every generated report. Where it is not installed, a
// font of similar width stands in for it.
void installFontSubstitutes()
{
    static const bool done = [] {
        for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFileInfo::exists(QString::fromLatin1(path)))
                QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        QFont::insertSubstitutions(u"Tahoma"_s, {u"Liberation Sans"_s, u"Arial"_s, u"DejaVu Sans"_s});
        QFont::insertSubstitutions(u"Wingdings"_s, {u"DejaVu Sans"_s});
        return true;
    }();
    (void)done;
}

QColor fromBgr(quint32 c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

bool isNullValue(const QVariant& v) { return !v.isValid() || v.isNull(); }

bool sameGroupValue(const QVariant& a, const QVariant& b)
{
    const bool na = isNullValue(a), nb = isNullValue(b);
    if (na || nb)
        return na && nb;
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    if (isDateValue(a) && isDateValue(b))
        return toDateTime(a) == toDateTime(b);
    if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
        return QString::compare(*static_cast<const QString*>(a.constData()), *static_cast<const QString*>(b.constData()),
                                Qt::CaseInsensitive) == 0;
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) == 0;
}

int alignFlags(int code, bool wrap)
{
    if (code < 0 || code > 8)
        code = 0;
    static const int h[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const int v[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return h[code % 3] | v[code / 3] | (wrap ? Qt::TextWordWrap : 0);
}

struct CField {
    FieldDef def;
    Expression expr;
    ValueFormat format;
    bool isStatic = true;  // the same text on every band
    QString staticText;
    QString staticShown;       // staticText as drawn (shortened when it does not fit)
    int staticFlags = 0;       // the flags staticShown is drawn with
    double staticGrowth = 0;   // how much staticText makes a growing field grow
    bool growing = false;      // CanGrow, and not a check box
    bool textOnPageNumber = false;  // the text changes with the page it lands on
    int font = 0;
    int flags = 0;
    QColor fore;
    QColor back;
    std::vector<int> above;  // growing fields that end above this one's top
};

struct CSection {
    bool present = false;
    bool visible = false;
    int height = 0;
    int level = 0;  // the group level its aggregates run over (0: the whole report)
    std::vector<CField> fields;
    bool anyGrowing = false;
    double fieldsBottom = 0;  // the lowest field bottom, before growing
    double rulesBottom = 0;   // the lowest bottom of a thick rule
};

// A field that only draws a filled bar: the thick rules under the page
// header and the sub title.
bool isRule(const FieldDef& f)
{
    return !f.calculated && f.text.isEmpty() && !f.checkBox && f.backStyle == 1 && !f.isLine() && f.height > 0;
}

// The smallest size a caption is shrunk to before its words are shortened.
constexpr double kSmallestCaptionPoints = 6.0;

// Text widths for one font. Shaping a text to learn its width costs about as
// much as drawing it; most texts are far narrower than their field, which a
// sum of cached character advances (with room for kerning) shows without
// shaping. Only texts near the limit are measured exactly.
class FontMeasure {
public:
    explicit FontMeasure(const QFont& font) : m_fm(font), m_height(m_fm.height())
    {
        m_advance.fill(-1.0f);
        m_slack = std::max(1.0, 0.1 * m_fm.height());
    }
    const QFontMetricsF& metrics() const { return m_fm; }
    double height() const { return m_height; }

    // Exactly m_fm.horizontalAdvance(text) <= width.
    bool fits(const QString& text, double width)
    {
        double sum = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u >= kCached)
                return m_fm.horizontalAdvance(text) <= width;
            float& a = m_advance[u];
            if (a < 0)
                a = static_cast<float>(m_fm.horizontalAdvance(c));
            sum += a + m_slack;
            if (sum > width)
                return m_fm.horizontalAdvance(text) <= width;
        }
        return true;
    }

private:
    // Latin with its extensions: no shaping beyond kerning and ligatures.
    static constexpr char16_t kCached = 0x250;
    QFontMetricsF m_fm;
    double m_height;
    double m_slack;
    std::array<float, kCached> m_advance;
};

// The flags a wrapping text is drawn with: a word wider than its field is
// broken inside the word rather than spilling over the field's edges (a
// right-aligned caption would otherwise lose its first letters).
int wrapFlags(FontMeasure& fm, const CField& f, const QString& text)
{
    if (!(f.flags & Qt::TextWordWrap) || fm.fits(text, f.def.width))
        return f.flags;
    for (const auto& word : QStringView(text).tokenize(u' ', Qt::SkipEmptyParts))
        if (fm.metrics().horizontalAdvance(word.toString()) > f.def.width)
            return f.flags | Qt::TextWrapAnywhere;
    return f.flags;
}

// The height a text needs in its field.
double textHeight(FontMeasure& fm, const CField& f, const QString& text)
{
    if (text.isEmpty())
        return 0;
    const bool wrap = f.flags & Qt::TextWordWrap;
    if (!text.contains(u'\n') && (!wrap || fm.fits(text, f.def.width)))
        return fm.height();
    return fm.metrics()
        .boundingRect(QRectF(0, 0, std::max(1, f.def.width), 1e7), wrapFlags(fm, f, text), text)
        .height();
}

// A calculated field's text with its #name# parameters put in. A parameter
// always stays one text value: inside a quoted text its quotes are doubled,
// elsewhere it becomes a quoted text of its own, so no value can change what
// the expression means.
QString withStringParams(const QString& text, const QHash<QString, QString>& params)
{
    if (params.isEmpty() || !text.contains(u'#'))
        return text;
    QString out;
    out.reserve(text.size());
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;  // a doubled quote toggles twice
        } else if (c == u'#') {
            const qsizetype end = text.indexOf(u'#', i + 1);
            if (end > i) {
                const auto it = params.constFind(text.mid(i + 1, end - i - 1));
                if (it != params.cend()) {
                    QString value = *it;
                    value.replace(u'"', u"\"\""_s);
                    out += quoted ? value : u'"' + value + u'"';
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

enum class StepKind { Footer, Reset, Header, Add, Detail, ReportFooter };
struct Step {
    StepKind kind;
    int level;
};

}  // namespace

struct ReportLayout::Compiled {
    std::vector<QFont> fonts;
    std::vector<std::unique_ptr<FontMeasure>> metrics;
    std::map<int, CSection> sections;
    std::vector<const CSection*> byType;  // the sections a report places, by type
    std::vector<int> groupColumns;  // by level - 1
    std::vector<Accumulator> aggregates;
    std::vector<int> aggregateLevel;
    std::vector<const Expression::Node*> aggregateNode;
    int groups = 0;

    const CSection* section(int type) const
    {
        if (type >= 0 && type < static_cast<int>(byType.size()))
            return byType[type];
        auto it = sections.find(type);
        return it == sections.end() ? nullptr : &it->second;
    }
};

ReportLayout::ReportLayout(ReportSource source, QHash<QString, QString> stringParams)
    : m_src(std::move(source)), m_params(std::move(stringParams)), m_now(QDateTime::currentDateTime())
{
    installFontSubstitutes();
    const PageLayout& l = m_src.layout;
    int pw = 0, ph = 0;
    paperSizeTwips(l.paperSize, pw, ph);
    m_geo.landscape = l.orientation == 2;
    if (m_geo.landscape)
        std::swap(pw, ph);
    m_geo.paperWidth = pw;
    m_geo.paperHeight = ph;
    const double left = std::clamp(l.marginLeft, 0, pw / 4);
    const double top = std::clamp(l.marginTop, 0, ph / 4);
    const double bottom = std::clamp(l.marginBottom, 0, ph / 4);
    double right = std::clamp(l.marginRight, 0, pw / 4);
    // A layout wider than paper minus margins first gives up right margin
    // (down to a thin edge), and only then is scaled down to fit.
    double avail = pw - left - right;
    if (l.width > avail) {
        right = std::min(right, 250.0);
        avail = pw - left - right;
    }
    m_geo.scale = l.width > avail ? avail / l.width : 1.0;
    m_geo.originX = left;
    m_geo.originY = top;
    m_geo.contentWidth = l.width;
    m_geo.contentHeight = (ph - top - bottom) / m_geo.scale;
}

ReportLayout::~ReportLayout() = default;

bool ReportLayout::prepare(const QStringList& columns, QString& error)
{
    auto c = std::make_unique<Compiled>();
    c->groups = static_cast<int>(m_src.groups.size());
    for (const GroupDef& g : m_src.groups) {
        const qsizetype idx = [&] {
            for (qsizetype i = 0; i < columns.size(); ++i)
                if (columns[i].compare(g.groupBy, Qt::CaseInsensitive) == 0)
                    return i;
            return qsizetype(-1);
        }();
        if (idx < 0) {
            error = u"group \"%1\" groups by \"%2\", which the data does not have"_s.arg(g.name, g.groupBy);
            return false;
        }
        c->groupColumns.push_back(static_cast<int>(idx));
    }

    auto levelOf = [&](int type) {
        if (type == stDetail)
            return c->groups;
        if (type >= 5)
            return (type - 3) / 2;
        return 0;
    };
    for (const SectionDef& s : m_src.sections) {
        CSection& cs = c->sections[s.type];
        cs.present = true;
        cs.visible = s.visible;
        cs.height = s.height;
        cs.level = levelOf(s.type);
    }

    QFont base(m_src.font.name.isEmpty() ? u"Tahoma"_s : m_src.font.name);
    const double baseSize = m_src.font.size > 0 ? m_src.font.size : 8.0;
    QHash<QString, int> fontIndex;
    auto fontFor = [&](const FontSpec& f, double sizeOverride = 0) {
        const QString family = f.name.isEmpty() ? base.family() : f.name;
        const double size = sizeOverride > 0 ? sizeOverride : (f.size > 0 ? f.size : baseSize);
        const bool bold = f.bold || (m_src.font.bold && !f.bold);
        const QString key = u"%1|%2|%3%4%5"_s.arg(family).arg(size).arg(bold).arg(f.italic).arg(f.underline);
        if (auto it = fontIndex.find(key); it != fontIndex.end())
            return *it;
        QFont font(family);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size * 20))));
        font.setBold(bold);
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        font.setHintingPreference(QFont::PreferNoHinting);
        // No ligatures: a PDF reader finds "fizetési" only when "fi" stays
        // two letters. Latin text needs no other shaping either.
        font.setStyleStrategy(QFont::PreferNoShaping);
        c->fonts.push_back(font);
        c->metrics.push_back(std::make_unique<FontMeasure>(font));
        const int idx = static_cast<int>(c->fonts.size() - 1);
        fontIndex.insert(key, idx);
        return idx;
    };

    for (const FieldDef& f : m_src.fields) {
        auto sit = c->sections.find(f.section);
        if (sit == c->sections.end() || !f.visible)
            continue;
        CField cf;
        cf.def = f;
        cf.font = fontFor(f.font);
        // Only a field that may grow wraps; a fixed one keeps its text on one
        // line, so a long group label shows its beginning, not a fragment.
        cf.flags = alignFlags(f.align, f.wordWrap && f.canGrow && !f.checkBox);
        cf.fore = fromBgr(f.foreColor);
        cf.back = fromBgr(f.backColor);
        cf.format = ValueFormat(f.format);
        cf.growing = f.canGrow && !f.checkBox;
        if (f.calculated && !f.text.trimmed().isEmpty()) {
            QString why;
            if (!Expression::parse(withStringParams(f.text, m_params), columns, cf.expr, why)) {
                error = u"line %1: field \"%2\": %3"_s.arg(f.line).arg(f.name, why);
                return false;
            }
            cf.isStatic = false;
        } else {
            QString text = f.text;
            if (m_params.contains(f.name) && !f.calculated)
                text = m_params.value(f.name);
            for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
                text.replace(u'#' + it.key() + u'#', it.value());
            cf.staticText = text;
            if (f.section == stPageHeader && (cf.flags & Qt::TextWordWrap)) {
                // A column caption wraps only between words. A word wider
                // than its column makes the caption's font smaller, down to
                // a floor; a word still too wide there is shortened.
                const double pointSize = f.font.size > 0 ? f.font.size : baseSize;
                auto widest = [&](int font) {
                    double w = 0;
                    for (const auto& word : QStringView(text).tokenize(u' ', Qt::SkipEmptyParts))
                        w = std::max(w, c->metrics[font]->metrics().horizontalAdvance(word.toString()));
                    return w;
                };
                for (double pt = pointSize - 0.5; widest(cf.font) > f.width && pt >= kSmallestCaptionPoints - 0.01;
                     pt -= 0.5)
                    cf.font = fontFor(f.font, pt);
                if (widest(cf.font) > f.width) {
                    const QFontMetricsF& m = c->metrics[cf.font]->metrics();
                    QStringList words = text.split(u' ', Qt::SkipEmptyParts);
                    for (QString& word : words)
                        if (m.horizontalAdvance(word) > f.width)
                            word = m.elidedText(word, Qt::ElideRight, f.width);
                    cf.staticText = text = words.join(u' ');
                }
            }
            FontMeasure& fm = *c->metrics[cf.font];
            cf.staticShown = text;
            if (!(cf.flags & Qt::TextWordWrap) && !fm.fits(text, f.width))
                cf.staticShown = fm.metrics().elidedText(text, Qt::ElideRight, f.width);
            cf.staticFlags = wrapFlags(fm, cf, text);
        }
        cf.textOnPageNumber = !cf.isStatic && cf.expr.usesPageNumber();
        sit->second.fields.push_back(std::move(cf));
    }

    // Aggregates: one running value per use, over the rows of the section's level.
    c->byType.assign(5 + 2 * static_cast<size_t>(c->groups), nullptr);
    for (auto& [type, cs] : c->sections) {
        if (type >= 0 && type < static_cast<int>(c->byType.size()))
            c->byType[type] = &cs;
        // A text whose box reaches into a rule below it ends where the rule
        // starts (the sub title above its bar), so no text runs into a rule.
        for (CField& text : cs.fields) {
            if (isRule(text.def) || text.def.checkBox)
                continue;
            for (const CField& rule : cs.fields) {
                if (!isRule(rule.def))
                    continue;
                const bool across = rule.def.left < text.def.left + text.def.width &&
                                    text.def.left < rule.def.left + rule.def.width;
                if (across && rule.def.top > text.def.top && rule.def.top < text.def.top + text.def.height)
                    text.def.height = rule.def.top - text.def.top;
            }
        }
        for (CField& cf : cs.fields) {
            cs.anyGrowing = cs.anyGrowing || cf.growing;
            cs.fieldsBottom = std::max(cs.fieldsBottom, static_cast<double>(cf.def.top + cf.def.height));
            if (isRule(cf.def))
                cs.rulesBottom = std::max(cs.rulesBottom, static_cast<double>(cf.def.top + cf.def.height));
            if (cf.growing && cf.isStatic)
                cf.staticGrowth = std::max(0.0, textHeight(*c->metrics[cf.font], cf, cf.staticText) - cf.def.height);
        }
        for (CField& cf : cs.fields) {
            for (const auto& use : cf.expr.aggregates()) {
                Accumulator a;
                a.kind = use.kind;
                Expression::setSlot(use.node, static_cast<int>(c->aggregates.size()));
                c->aggregates.push_back(a);
                c->aggregateLevel.push_back(cs.level);
                c->aggregateNode.push_back(use.node);
            }
        }
        // Which growing fields push each field down.
        for (size_t i = 0; i < cs.fields.size(); ++i) {
            for (size_t j = 0; j < cs.fields.size(); ++j) {
                const FieldDef& g = cs.fields[j].def;
                if (i != j && g.canGrow && g.top + g.height <= cs.fields[i].def.top)
                    cs.fields[i].above.push_back(static_cast<int>(j));
            }
        }
    }
    m_c = std::move(c);
    error.clear();
    return true;
}

// ---------------------------------------------------------------------------

namespace {

class Runner {
public:
    Runner(const ReportLayout::Compiled& c, const PageGeometry& geo, PageSink* sink, int pageCount,
           const QDateTime& now)
        : m_c(c), m_geo(geo), m_sink(sink)
    {
        m_ctx.pages = pageCount;
        m_ctx.now = now;
        m_ctx.aggregates = &m_acc;
        m_acc = c.aggregates;
        const CSection* pf = c.section(stPageFooter);
        m_footerHeight = (pf && pf->visible) ? pf->height : 0;
        m_bottom = m_geo.contentHeight - m_footerHeight;
    }

    std::vector<LayoutCheckpoint>* checkpoints = nullptr;
    int stopAfterPage = 0;  // 0: run to the end

    int runAll(RowSource& rows)
    {
        m_page = 1;
        recordCheckpoint(true);
        openPage(true);
        fetchFirst(rows);
        loop(rows, 0);
        return m_page;
    }

    void resume(const LayoutCheckpoint& cp, RowSource& rows)
    {
        if (cp.fresh) {
            stopAfterPage = 1;
            runAll(rows);
            return;
        }
        m_page = cp.page;
        m_rowIndex = cp.rowIndex;
        m_atEnd = cp.atEnd;
        m_prev = cp.previous;
        m_cur = cp.current;
        m_acc = cp.aggregates;
        if (m_rowIndex >= 0)
            rows.skip(m_rowIndex + 1);
        stopAfterPage = cp.page;
        openPage(false);
        loop(rows, cp.step);
    }

private:
    struct Stop {};

    void fetchFirst(RowSource& rows)
    {
        m_prev.clear();
        if (rows.next(m_cur)) {
            m_rowIndex = 0;
        } else {
            m_atEnd = true;
            m_cur.clear();
        }
    }

    int changedLevel() const
    {
        if (m_prev.isEmpty())
            return 1;
        for (int l = 1; l <= m_c.groups; ++l) {
            const qsizetype col = m_c.groupColumns[l - 1];
            static const QVariant none;
            const QVariant& a = col < m_prev.size() ? m_prev.at(col) : none;
            const QVariant& b = col < m_cur.size() ? m_cur.at(col) : none;
            if (!sameGroupValue(a, b))
                return l;
        }
        return m_c.groups + 1;
    }

    void steps(std::vector<Step>& s) const
    {
        s.clear();
        const bool hasPrev = !m_prev.isEmpty();
        if (m_atEnd) {
            if (hasPrev)
                for (int l = m_c.groups; l >= 1; --l)
                    s.push_back({StepKind::Footer, l});
            s.push_back({StepKind::ReportFooter, 0});
            return;
        }
        const int k = changedLevel();
        if (hasPrev)
            for (int l = m_c.groups; l >= k; --l)
                s.push_back({StepKind::Footer, l});
        for (int l = k; l <= m_c.groups; ++l) {
            s.push_back({StepKind::Reset, l});
            s.push_back({StepKind::Header, l});
        }
        s.push_back({StepKind::Add, 0});
        s.push_back({StepKind::Detail, 0});
    }

    void loop(RowSource& rows, int startStep)
    {
        try {
            std::vector<Step> st;
            for (;;) {
                steps(st);
                for (int i = startStep; i < static_cast<int>(st.size()); ++i) {
                    m_step = i;
                    exec(st[i]);
                }
                startStep = 0;
                if (m_atEnd)
                    break;
                // The row before becomes the previous one; its storage is
                // filled again with the next row.
                std::swap(m_prev, m_cur);
                m_cur.clear();
                if (rows.next(m_cur)) {
                    ++m_rowIndex;
                } else {
                    m_atEnd = true;
                    m_cur.clear();
                }
            }
            closePage();
        } catch (const Stop&) {
        }
    }

    void exec(const Step& s)
    {
        switch (s.kind) {
        case StepKind::Footer:
            place(groupFooterType(s.level), &m_prev);
            break;
        case StepKind::Reset:
            for (size_t i = 0; i < m_acc.size(); ++i)
                if (m_c.aggregateLevel[i] == s.level)
                    m_acc[i].reset();
            break;
        case StepKind::Header:
            place(groupHeaderType(s.level), &m_cur, false, keptWithHeader(s.level));
            break;
        case StepKind::Add:
            m_ctx.row = &m_cur;
            for (size_t i = 0; i < m_acc.size(); ++i)
                m_acc[i].add(Expression::argument(m_c.aggregateNode[i], m_ctx));
            break;
        case StepKind::Detail:
            place(stDetail, &m_cur);
            break;
        case StepKind::ReportFooter:
            place(stReportFooter, m_prev.isEmpty() ? nullptr : &m_prev);
            break;
        }
    }

    void recordCheckpoint(bool fresh)
    {
        if (!checkpoints)
            return;
        LayoutCheckpoint cp;
        cp.page = m_page;
        cp.fresh = fresh;
        if (!fresh) {
            cp.rowIndex = m_rowIndex;
            cp.step = m_step;
            cp.atEnd = m_atEnd;
            cp.previous = m_prev;
            cp.current = m_cur;
            cp.aggregates = m_acc;
        }
        checkpoints->push_back(std::move(cp));
    }

    void openPage(bool first)
    {
        m_drawing = m_sink && m_sink->wantsPage(m_page);
        if (m_drawing)
            m_sink->beginPage(m_page);
        m_y = 0;
        m_hasBody = false;
        if (first)
            place(stReportHeader, nullptr);
        place(stPageHeader, nullptr, true);
        m_hasBody = false;
    }

    void closePage()
    {
        const CSection* pf = m_c.section(stPageFooter);
        if (pf && pf->visible) {
            m_y = m_bottom;
            place(stPageFooter, nullptr, true);
        }
        if (m_drawing)
            m_sink->endPage(m_page);
        if (stopAfterPage && m_page >= stopAfterPage)
            throw Stop{};
    }

    void newPage()
    {
        closePage();
        ++m_page;
        recordCheckpoint(false);
        openPage(false);
    }

    QString fieldText(const CField& f, const QList<QVariant>* row)
    {
        if (f.isStatic)
            return f.staticText;
        m_ctx.row = row;
        m_ctx.page = m_page;
        return f.format.apply(f.expr.evaluate(m_ctx));
    }

    // What one band being placed keeps apart from the others (placing a band
    // may open a page, which places the page header inside it).
    struct BandTexts {
        std::vector<QString> texts;
        std::vector<double> grown;
    };

    // What must follow a group header on its page: the headers of the
    // deeper levels and the first row. A header never stands alone at the
    // bottom of a page.
    double keptWithHeader(int level)
    {
        double h = 0;
        for (int l = level + 1; l <= m_c.groups; ++l)
            if (const CSection* s = m_c.section(groupHeaderType(l)); s && s->visible)
                h += s->height;
        if (const CSection* d = m_c.section(stDetail); d && d->visible)
            h += extentOf(*d, &m_cur);
        return h;
    }

    // How much a band takes on its page for `row`, growing fields measured.
    double extentOf(const CSection& s, const QList<QVariant>* row)
    {
        double growth = 0;
        if (s.anyGrowing)
            for (const CField& f : s.fields)
                if (f.growing)
                    growth = std::max(growth, f.isStatic ? f.staticGrowth
                                                         : textHeight(*m_c.metrics[f.font], f, fieldText(f, row)) -
                                                               f.def.height);
        return std::max(std::max<double>(s.height, s.rulesBottom), s.fieldsBottom) + growth;
    }

    void place(int type, const QList<QVariant>* row, bool frame = false, double keepWith = 0)
    {
        const CSection* s = m_c.section(type);
        if (!s || !s->visible)
            return;
        const size_t n = s->fields.size();
        if (m_depth == m_bands.size())
            m_bands.emplace_back();
        BandTexts& band = m_bands[m_depth];
        band.texts.resize(n);
        band.grown.assign(n, 0.0);
        double growth = 0;
        if (s->anyGrowing) {
            for (size_t i = 0; i < n; ++i) {
                const CField& f = s->fields[i];
                if (!f.growing)
                    continue;
                if (f.isStatic) {
                    band.grown[i] = f.staticGrowth;
                } else {
                    band.texts[i] = fieldText(f, row);
                    band.grown[i] = std::max(0.0, textHeight(*m_c.metrics[f.font], f, band.texts[i]) - f.def.height);
                }
                growth = std::max(growth, band.grown[i]);
            }
        }
        // A rule drawn at the bottom edge of its section (the bar under the
        // page header) belongs to it: the next band starts below the rule.
        const double height = std::max<double>(s->height, s->rulesBottom) + growth;
        // Fields may reach below their section (a 210 high text in a 195 high
        // row): what is drawn must fit above the page footer too.
        const double extent = std::max(height, s->fieldsBottom + growth);
        if (!frame && m_hasBody && m_y + extent + keepWith > m_bottom + 0.01) {
            ++m_depth;
            try {
                newPage();
            } catch (...) {
                --m_depth;
                throw;
            }
            --m_depth;
        }
        if (m_drawing)
            draw(*s, type, row, height, band);
        m_y += height;
        if (!frame)
            m_hasBody = true;
    }

    void draw(const CSection& s, int type, const QList<QVariant>* row, double height, BandTexts& band)
    {
        m_sink->band(type, QRectF(0, m_y, m_geo.contentWidth, height));
        for (size_t i = 0; i < s.fields.size(); ++i) {
            const CField& f = s.fields[i];
            double shift = 0;
            for (int j : f.above)
                shift = std::max(shift, band.grown[j]);
            const QRectF r(f.def.left, m_y + f.def.top + shift, f.def.width, f.def.height + band.grown[i]);
            if (f.def.backStyle == 1)
                m_sink->fillRect(r, f.back);
            if (f.def.isLine()) {
                if (f.def.lineSlant == 1)
                    m_sink->drawLine(r.topLeft(), r.bottomRight());
                else
                    m_sink->drawLine(r.bottomLeft(), r.topRight());
                continue;
            }
            if (f.def.borderStyle != 0) {
                m_sink->drawLine(r.topLeft(), r.topRight());
                m_sink->drawLine(r.topRight(), r.bottomRight());
                m_sink->drawLine(r.bottomRight(), r.bottomLeft());
                m_sink->drawLine(r.bottomLeft(), r.topLeft());
            }
            if (f.def.checkBox) {
                m_ctx.row = row;
                m_ctx.page = m_page;
                const QVariant v = f.isStatic ? QVariant(f.staticText) : f.expr.evaluate(m_ctx);
                if (!isNullValue(v))
                    m_sink->drawCheck(r, isTruthy(v));
                continue;
            }
            if (f.isStatic) {
                if (!f.staticShown.isEmpty())
                    m_sink->drawText(r, f.staticShown, m_c.fonts[f.font], f.staticFlags, f.fore);
                continue;
            }
            QString text = (f.growing && !f.textOnPageNumber) ? std::move(band.texts[i]) : fieldText(f, row);
            if (text.isEmpty())
                continue;
            // Text that may not grow stays inside its field.
            FontMeasure& fm = *m_c.metrics[f.font];
            if (!(f.flags & Qt::TextWordWrap)) {
                if (!fm.fits(text, f.def.width))
                    text = fm.metrics().elidedText(text, Qt::ElideRight, f.def.width);
                m_sink->drawText(r, text, m_c.fonts[f.font], f.flags, f.fore);
            } else {
                m_sink->drawText(r, text, m_c.fonts[f.font], wrapFlags(fm, f, text), f.fore);
            }
        }
    }

    const ReportLayout::Compiled& m_c;
    const PageGeometry& m_geo;
    PageSink* m_sink;
    EvalContext m_ctx;
    std::vector<Accumulator> m_acc;
    double m_footerHeight = 0, m_bottom = 0;

    int m_page = 1;
    double m_y = 0;
    bool m_drawing = false;
    bool m_hasBody = false;
    qint64 m_rowIndex = -1;
    int m_step = 0;
    bool m_atEnd = false;
    QList<QVariant> m_prev, m_cur;
    std::deque<BandTexts> m_bands;  // by nesting depth of place()
    size_t m_depth = 0;
};

}  // namespace

int ReportLayout::countPages(RowSource& rows, std::vector<LayoutCheckpoint>* checkpoints)
{
    Q_ASSERT(m_c);
    Runner r(*m_c, m_geo, nullptr, 0, m_now);
    r.checkpoints = checkpoints;
    return r.runAll(rows);
}

int ReportLayout::run(RowSource& rows, PageSink& sink, int pageCount)
{
    Q_ASSERT(m_c);
    Runner r(*m_c, m_geo, &sink, pageCount, m_now);
    return r.runAll(rows);
}

void ReportLayout::drawPage(const LayoutCheckpoint& checkpoint, RowSource& rows, PageSink& sink, int pageCount)
{
    Q_ASSERT(m_c);
    Runner r(*m_c, m_geo, &sink, pageCount, m_now);
    r.resume(checkpoint, rows);
}

}  // namespace lg::reportengine
