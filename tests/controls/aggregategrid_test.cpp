// The aggregate grid without a database: its shape, the choices by data
// type, the cell editor's rules and the automatic filling.

#include <gtest/gtest.h>

#include "controls/aggregategrid.h"
#include "store/enums.h"

namespace lg::test {
namespace {

using controls::AggregateGrid;

AggregateGrid sample()
{
    AggregateGrid grid;
    grid.reset({QStringLiteral("Város"), QStringLiteral("Fizetési mód")});
    grid.addRow(11, QStringLiteral("Darabszám"), eRFDTLongNumber);
    grid.addRow(12, QStringLiteral("Nettó"), eRFDTDecimalNumber);
    grid.addRow(13, QStringLiteral("Kelte"), eRFDTDate);
    grid.addRow(14, QStringLiteral("Számlaszám"), eRFDTString);
    grid.addRow(15, QStringLiteral("Fizetve"), eRFDTBoolean);
    grid.addRow(16, QStringLiteral("Ismeretlen típus"), 9);
    return grid;
}

TEST(AggregateGridTest, ShapeAndHeaders)
{
    const AggregateGrid grid = sample();
    EXPECT_EQ(grid.columnCount(), 4);
    EXPECT_EQ(grid.groupLevelCount(), 2);
    EXPECT_EQ(grid.rowCount(), 7);
    EXPECT_EQ(grid.headerText(0), QStringLiteral("Mező"));
    EXPECT_EQ(grid.headerText(1), QStringLiteral("Város"));
    EXPECT_EQ(grid.headerText(3), QStringLiteral("Mindösszesen"));
    EXPECT_EQ(grid.cellText(0, 2), QStringLiteral("Fizetési mód"));
    EXPECT_EQ(grid.rowFieldId(2), 12);
    EXPECT_EQ(grid.cellData(2, 0), 12);
    EXPECT_EQ(grid.cellText(2, 0), QStringLiteral("Nettó"));
    EXPECT_EQ(grid.cellData(2, 3), -1);
    EXPECT_TRUE(grid.cellText(2, 3).isEmpty());
    EXPECT_EQ(grid.rowFieldId(7), -1);
    EXPECT_EQ(grid.cellData(9, 9), -1);
}

TEST(AggregateGridTest, ChoicesByDataType)
{
    const struct {
        long type;
        QList<long> codes;
    } cases[] = {
        {eRFDTLongNumber, {1, 2, 3, 4, 5}}, {eRFDTDecimalNumber, {1, 2, 3, 4, 5}}, {eRFDTDate, {1, 2, 3}},
        {eRFDTString, {1, 2, 3}},           {eRFDTBoolean, {1, 2, 3}},           {0, {}},
        {9, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AggregateGrid::choiceCodes(c.type), c.codes) << c.type;
    const AggregateGrid grid = sample();
    EXPECT_TRUE(grid.isEditable(5, 1));
    EXPECT_FALSE(grid.isEditable(6, 1)) << "no choice list";
    EXPECT_FALSE(grid.isEditable(1, 0)) << "the caption column";
    EXPECT_FALSE(grid.isEditable(0, 1)) << "the header row";
    EXPECT_EQ(AggregateGrid::aggregateName(4), QStringLiteral("Összeg"));
    EXPECT_EQ(AggregateGrid::aggregateName(-1), QString());
    EXPECT_EQ(AggregateGrid::aggregateName(0), QString());
}

TEST(AggregateGridTest, TheCellEditorAcceptsOnlyOfferedCodes)
{
    AggregateGrid grid = sample();
    const struct {
        int row, column;
        long code;
        bool changed;
        long after;
    } steps[] = {
        {2, 1, eRFATsum, true, eRFATsum},   {2, 1, eRFATsum, false, eRFATsum},  // same code: no change
        {5, 1, eRFATsum, false, -1},        {5, 1, eRFATCount, true, eRFATCount},
        {5, 1, -1, true, -1},               {5, 1, -1, false, -1},
        {6, 1, eRFATCount, false, -1},      {2, 0, eRFATCount, false, 12},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(grid.chooseAggregate(s.row, s.column, s.code), s.changed) << s.row << "," << s.column << " " << s.code;
        EXPECT_EQ(grid.cellData(s.row, s.column), s.after);
    }
    EXPECT_EQ(grid.cellText(2, 1), QStringLiteral("Összeg"));
}

TEST(AggregateGridTest, AutomaticFillingByTypeAndCells)
{
    AggregateGrid grid = sample();
    grid.chooseAggregate(2, 2, eRFATMax);
    // Numbers, empty cells only: both number rows, the chosen cell kept.
    EXPECT_EQ(grid.AutomaticFillAgregate(eRFDTLongNumber, eRFATsum, false), 5);
    EXPECT_EQ(grid.cellData(1, 1), eRFATsum);
    EXPECT_EQ(grid.cellData(2, 2), eRFATMax);
    EXPECT_EQ(grid.cellData(2, 3), eRFATsum);
    // All cells: the chosen one too.
    EXPECT_EQ(grid.AutomaticFillAgregate(eRFDTDecimalNumber, eRFATAvg, true), 6);
    EXPECT_EQ(grid.cellData(2, 2), eRFATAvg);
    // Texts and dates fill only their own rows; Boolean and other rows stay.
    grid.AutomaticFillAgregate(eRFDTString, eRFATCount, true);
    grid.AutomaticFillAgregate(eRFDTDate, eRFATMin, false);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(grid.cellData(3, c), eRFATMin);
        EXPECT_EQ(grid.cellData(4, c), eRFATCount);
        EXPECT_EQ(grid.cellData(5, c), -1);
        EXPECT_EQ(grid.cellData(6, c), -1);
    }
}

TEST(AggregateGridTest, TheAutomaticFillingCommands)
{
    const struct {
        int id;
        long type;
        long code;
        bool all;
    } cases[] = {{2, 1, 1, false},  {6, 1, 5, false},  {12, 1, 1, true},  {16, 1, 5, true},  {22, 4, 1, false},
                 {24, 4, 3, false}, {32, 4, 1, true},  {34, 4, 3, true},  {42, 3, 1, false}, {44, 3, 3, false},
                 {52, 3, 1, true},  {54, 3, 3, true}};
    for (const auto& c : cases) {
        const auto* command = controls::findAutoFillCommand(c.id);
        ASSERT_NE(command, nullptr) << c.id;
        EXPECT_EQ(command->dataType, c.type) << c.id;
        EXPECT_EQ(command->code, c.code) << c.id;
        EXPECT_EQ(command->allCells, c.all) << c.id;
        EXPECT_EQ(command->item, AggregateGrid::aggregateName(c.code));
    }
    for (int id : {1, 7, 17, 25, 35, 45, 55})
        EXPECT_EQ(controls::findAutoFillCommand(id), nullptr) << id;
    EXPECT_EQ(controls::autoFillCommands().size(), 22);
}

}  // namespace
}  // namespace lg::test
