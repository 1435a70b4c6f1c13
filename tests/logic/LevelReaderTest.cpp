#include "scene/LevelReader.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>

namespace {

LevelLayout parse(const std::string& text)
{
    std::istringstream in(text);
    return parseLevel(in);
}

std::vector<int> gridOf(const std::string& text)
{
    return parse(text).grid;
}

} // namespace

TEST(LevelReader, Heights0And7AreEmptyCellsAndOfTwoFinishesTheLastWins)
{
    // "0" and "7" are both height 0: no cube, no start, no finish, yet a grid entry each.
    const LevelLayout level = parse("0S7Z9x3x2x\n");
    EXPECT_EQ(level.grid, (std::vector<int>{0, 0, 0, 3, 2}));
    EXPECT_EQ(level.cubes, (std::vector<glm::vec3>{{3, 3, 0}, {4, 2, 0}}));
    EXPECT_FALSE(level.finish.has_value());
    EXPECT_EQ(level.startPosition, glm::vec3(0.0f)) << "without a start the hero starts at the origin";

    const LevelLayout twoFinishes = parse("1Z1x2Z1x1x\n1x3");
    ASSERT_TRUE(twoFinishes.finish.has_value());
    EXPECT_EQ(*twoFinishes.finish, glm::vec3(2, 2, 0));
    EXPECT_EQ(twoFinishes.cubes.size(), 7u) << "both finish cells keep their cubes";
    EXPECT_EQ(twoFinishes.cubes.back(), glm::vec3(1, 3, -1)) << "a file ending on a height keeps that cell";
}

TEST(LevelReader, InvisibleCubesReplaceThePlainCube)
{
    const LevelLayout level = parse("1x1x12131x\n5242424S4x\n");
    EXPECT_EQ(level.invisCubes, (std::vector<glm::vec3>{{2, 1, 0}, {0, 5, -1}, {1, 4, -1}, {2, 4, -1}}));
    EXPECT_EQ(level.cubes.size(), 6u);
    EXPECT_EQ(level.grid, (std::vector<int>{1, 1, 1, 1, 1, 5, 4, 4, 4, 4}));
    EXPECT_EQ(level.startPosition, glm::vec3(3.5f, 4.0f, -1.5f));

    // Each finish cell, in file order, after how many invisible cubes; one on an empty cell is none.
    EXPECT_EQ(parse("121Z12\n0Z1Z1Z").invisCubesBeforeEachFinish, (std::vector<std::size_t>{1, 2, 2}));
}

TEST(LevelReader, RowSplitOverTwoLinesReadsAsOneButABlankLineShiftsCells)
{
    const std::string oneLine = "1x2x3x4x5x\n";
    EXPECT_EQ(gridOf("1x2x3\nx4x5x\n"), gridOf(oneLine));
    EXPECT_EQ(gridOf("1x2x3x4x5x\r\n1x1x1x1x1x\r\n"), gridOf("1x2x3x4x5x\n1x1x1x1x1x\n"));

    // The second line feed of a blank line is read as a height (0), so everything after it
    // moves one character on: heights land on letter places and letters on height places.
    const std::vector<int> shifted = gridOf("1x1x1x1x1x\n\n2x2x2x2x2x\n");
    EXPECT_EQ(shifted, (std::vector<int>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));

    // A carriage return that is not followed by a line feed is an ordinary character, the
    // last one of a file too.
    EXPECT_EQ(gridOf("1x\r1"), (std::vector<int>{1, 0}));
    EXPECT_EQ(gridOf("1x1x\r"), gridOf("1x1x7"));
}

// As some editors save a file: the mark is no cell, and the level reads as without it.
TEST(LevelReader, AByteOrderMarkAtTheVeryStartIsSkipped)
{
    const std::string text = "1x1x12131x\n5242424S4x\n1Z", mark(utf8ByteOrderMark);
    const LevelLayout plain = parse(text);
    ASSERT_EQ(plain.grid.size(), 11u);
    const LevelLayout marked = parse(mark + text);
    EXPECT_EQ(marked.grid, plain.grid);
    EXPECT_EQ(marked.cubes, plain.cubes);

    // Part of a mark, or a mark anywhere but at the start, is read as characters, as ever.
    EXPECT_EQ(gridOf(mark.substr(0, 2) + "1x1x1x1x1x"), (std::vector<int>{0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(gridOf(mark.substr(0, 1)), (std::vector<int>{0}));
    EXPECT_EQ(gridOf("1x" + mark + "1x"), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(gridOf(mark + mark + "1x1x"), (std::vector<int>{0, 0, 0, 0}));
}

TEST(LevelReader, OnlyTheFirst1024CharactersCount)
{
    std::string text;
    for (int row = 0; row < 110; ++row)
        text += "1x1x1x1x1x\n";
    const LevelLayout level = parse(text);
    EXPECT_EQ(level.grid.size(), 512u);
    EXPECT_EQ(level.cubes.back(), glm::vec3(1, 1, -102));
}

// Where each counted character lies, for a level author: a byte-order mark takes no column, a
// carriage return before a line feed and the line feed count as one character at the return's
// place, and the end of the file is one last character where the reading stops.
TEST(LevelReader, EachCountedCharacterKnowsItsLineColumnAndOffset)
{
    const LevelLayout level = parse(std::string(utf8ByteOrderMark) + "1x1S\r\n1x");
    const CountedChar expected[] = {{'1', 1, 1, 3}, {'x', 1, 2, 4},  {'1', 1, 3, 5}, {'S', 1, 4, 6},
                                    {'1', 2, 1, 9}, {'x', 2, 2, 10}, {EOF, 2, 3, 11}};
    ASSERT_EQ(level.chars.size(), std::size(expected));
    for (std::size_t i = 0; i < level.chars.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(level.chars[i].value, expected[i].value);
        EXPECT_EQ(level.chars[i].line, expected[i].line);
        EXPECT_EQ(level.chars[i].column, expected[i].column);
        EXPECT_EQ(level.chars[i].offset, expected[i].offset);
    }
    EXPECT_EQ(level.readEnd, 11u);
    EXPECT_FALSE(level.cutOff);

    const LevelLayout cut = parse(std::string(1030, '1'));
    EXPECT_EQ(cut.chars.size(), 1024u);
    EXPECT_EQ(cut.readEnd, 1024u);
    EXPECT_TRUE(cut.cutOff);
}

TEST(LevelReader, CellLookupTruncatesTowardZeroAndKeepsOutsidePointsOut)
{
    EXPECT_EQ(cellIndex(2.85f, -3.5f), 17);
    EXPECT_EQ(cellIndex(4.99f, -0.01f), 4);
    EXPECT_EQ(cellIndex(0.5f, -1.0f), 5);

    // Beside or in front of the level there is no cell, not a neighbouring row's.
    EXPECT_EQ(cellIndex(5.5f, -0.5f), -1);
    EXPECT_EQ(cellIndex(-1.5f, -1.5f), -1);
    EXPECT_EQ(cellIndex(2.5f, 0.5f), -1);
    EXPECT_EQ(cellIndex(2.5f, -1.0e9f), -1);

    EXPECT_EQ(cellHeight({1, 2, 3}, 2), 3);
    EXPECT_EQ(cellHeight({1, 2, 3}, 3), 0);
    EXPECT_EQ(cellHeight({1, 2, 3}, -1), 0);
}
