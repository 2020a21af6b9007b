#include "controls/aggregategrid.h"

#include "catalogue/fieldcatalogue.h"
#include "platform/strings.h"
#include "store/enums.h"

namespace lg::controls {

namespace {

QString stringOr(int id, const char* fallback)
{
    const QString text = LoadResString(id);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

bool numberType(long dataType) { return dataType == eRFDTLongNumber || dataType == eRFDTDecimalNumber; }

}  // namespace

void AggregateGrid::reset(const QStringList& groupCaptions)
{
    m_rows.clear();
    m_headers.clear();
    m_headers.append(stringOr(30033, "Mező"));
    m_headers.append(groupCaptions);
    m_headers.append(stringOr(30031, "Mindösszesen"));
}

void AggregateGrid::clear()
{
    m_rows.clear();
    m_headers.clear();
}

QString AggregateGrid::headerText(int column) const
{
    return column >= 0 && column < m_headers.size() ? m_headers.at(column) : QString();
}

int AggregateGrid::addRow(long visibleFieldId, const QString& caption, long dataType)
{
    Row row;
    row.fieldId = visibleFieldId;
    row.caption = caption;
    row.dataType = dataType;
    const int cells = columnCount() > 1 ? columnCount() - 1 : 0;
    for (int i = 0; i < cells; ++i)
        row.cells.append(AggregateCell{});
    m_rows.append(row);
    return int(m_rows.size());
}

long AggregateGrid::rowDataType(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows.at(row - 1).dataType : 0;
}

long AggregateGrid::rowFieldId(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows.at(row - 1).fieldId : -1;
}

AggregateCell AggregateGrid::cell(int row, int column) const
{
    if (row == 0)
        return AggregateCell{headerText(column), -1};
    if (row < 1 || row > m_rows.size() || column < 0 || column >= columnCount())
        return {};
    const Row& r = m_rows.at(row - 1);
    if (column == 0)
        return AggregateCell{r.caption, r.fieldId};
    return r.cells.at(column - 1);
}

bool AggregateGrid::isAggregateCell(int row, int column) const
{
    return row >= 1 && row <= m_rows.size() && column >= 1 && column < columnCount();
}

bool AggregateGrid::setCellCode(int row, int column, long code)
{
    if (!isAggregateCell(row, column))
        return false;
    AggregateCell& c = m_rows[row - 1].cells[column - 1];
    c.data = code;
    c.text = code == eRFATUnknown ? QString() : aggregateName(code);
    return true;
}

bool AggregateGrid::isEditable(int row, int column) const
{
    return isAggregateCell(row, column) && !choiceCodes(rowDataType(row)).isEmpty();
}

bool AggregateGrid::chooseAggregate(int row, int column, long code)
{
    if (!isEditable(row, column))
        return false;
    if (code == eRFATUnknown) {
        const bool changed = cellData(row, column) != eRFATUnknown;
        setCellCode(row, column, eRFATUnknown);
        return changed;
    }
    if (!choiceCodes(rowDataType(row)).contains(code) || code == cellData(row, column))
        return false;
    setCellCode(row, column, code);
    return true;
}

int AggregateGrid::AutomaticFillAgregate(long dataType, long code, bool allCells)
{
    int changed = 0;
    for (int row = 1; row < rowCount(); ++row) {
        const long type = rowDataType(row);
        if (!(type == dataType || (numberType(type) && numberType(dataType))))
            continue;
        for (int column = 1; column < columnCount(); ++column) {
            const AggregateCell c = cell(row, column);
            if (allCells || c.text.isEmpty() || c.data == eRFATUnknown) {
                if (c.data != code)
                    ++changed;
                setCellCode(row, column, code);
            }
        }
    }
    return changed;
}

QList<long> AggregateGrid::choiceCodes(long dataType)
{
    switch (dataType) {
    case eRFDTLongNumber:
    case eRFDTDecimalNumber:
        return {eRFATCount, eRFATMax, eRFATMin, eRFATsum, eRFATAvg};
    case eRFDTDate:
    case eRFDTString:
    case eRFDTBoolean:
        return {eRFATCount, eRFATMax, eRFATMin};
    default:
        return {};
    }
}

QString AggregateGrid::aggregateName(long code)
{
    if (code < eRFATCount || code > eRFATAvg)
        return QString();
    return catalogue::GetAggregateName(code);
}

const QList<AutoFillCommand>& autoFillCommands()
{
    static const QList<AutoFillCommand> commands = [] {
        QList<AutoFillCommand> list;
        const QString emptyOnly = LoadResString(32106);
        const QString all = LoadResString(32107);
        struct Menu {
            int nameId;
            long dataType;
            int firstId;  // of the "empty cells only" sub-menu; +10 for "all cells"
            long lastCode;
        };
        const Menu menus[] = {{32108, eRFDTLongNumber, 2, eRFATAvg},
                              {32109, eRFDTString, 22, eRFATMin},
                              {32110, eRFDTDate, 42, eRFATMin}};
        for (const Menu& menu : menus) {
            for (int pass = 0; pass < 2; ++pass) {
                for (long code = eRFATCount; code <= menu.lastCode; ++code) {
                    AutoFillCommand c;
                    c.commandId = menu.firstId + 10 * pass + int(code - 1);
                    c.menu = LoadResString(menu.nameId);
                    c.subMenu = pass == 0 ? emptyOnly : all;
                    c.item = AggregateGrid::aggregateName(code);
                    c.dataType = menu.dataType;
                    c.code = code;
                    c.allCells = pass == 1;
                    list.append(c);
                }
            }
        }
        return list;
    }();
    return commands;
}

const AutoFillCommand* findAutoFillCommand(int commandId)
{
    for (const AutoFillCommand& c : autoFillCommands()) {
        if (c.commandId == commandId)
            return &c;
    }
    return nullptr;
}

}  // namespace lg::controls
