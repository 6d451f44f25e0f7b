#include "cellcore/alpha_identifier.h"

#include "codec_test_support.h"

#include <gtest/gtest.h>

using handset::decode_alpha;
using handset::encode_alpha;

namespace {

std::optional<std::u16string> round_trip(const std::u16string& name, size_t field_size) {
    std::optional<handset::Bytes> field = encode_alpha(name, field_size);
    if (!field) {
        return std::nullopt;
    }
    EXPECT_EQ(field->size(), field_size);
    return decode_alpha(*field);
}

} // namespace

TEST(AlphaIdentifier, GsmNamesTakeOneByteACharacterUpToTheFieldSize) {
    EXPECT_EQ(round_trip(std::u16string(13, u'a'), 14), std::u16string(13, u'a'));
    EXPECT_EQ(round_trip(std::u16string(14, u'a'), 14), std::u16string(14, u'a'));
    EXPECT_FALSE(encode_alpha(std::u16string(15, u'a'), 14));
}

TEST(AlphaIdentifier, ExtensionTableCharactersTakeTwoBytes) {
    EXPECT_EQ(hex_of(*encode_alpha(u"[\u20AC]", 6)), "1B3C1B651B3E");
    EXPECT_EQ(round_trip(u"{a}", 6), u"{a}");
    EXPECT_EQ(round_trip(std::u16string(12, u'a') + u"|", 14), std::u16string(12, u'a') + u"|");
    EXPECT_FALSE(encode_alpha(std::u16string(13, u'a') + u"|", 14));
}

TEST(AlphaIdentifier, NamesTheGsmAlphabetCannotGiveBackUseUcs2) {
    // The diaeresis e is not in the alphabet; the acute e is.
    EXPECT_EQ(hex_of(*encode_alpha(u"Zo\u00EB", 8)), "80005A006F00EBFF");
    EXPECT_EQ(hex_of(*encode_alpha(u"Jos\u00E9", 4)), "4A6F7305");
    // Only the small c with cedilla has a code; the capital needs UCS2.
    EXPECT_EQ(hex_of(*encode_alpha(u"\u00E7", 1)), "09");
    EXPECT_EQ(encode_alpha(u"\u00C7", 3)->front(), 0x80);
    // The backquote is below 128 and still has no code.
    EXPECT_EQ(round_trip(u"`", 3), u"`");
}

TEST(AlphaIdentifier, Ucs2NamesTakeOnePlusTwoBytesACharacter) {
    const std::u16string six = u"\u0416\u0416\u0416\u0416\u0416\u0416";
    EXPECT_EQ(round_trip(six, 13), six);                         // 13 bytes: one to spare in 14
    EXPECT_EQ(round_trip(six + u"\u0416", 15), six + u"\u0416"); // exactly the field
    EXPECT_FALSE(encode_alpha(six + u"\u0416", 14));             // one byte over
}

TEST(AlphaIdentifier, KeepsSurrogatesAndEmojiAsTheyCame) {
    const std::u16string unpaired = u"A\xD800"
                                    u"B";
    EXPECT_EQ(round_trip(unpaired, 7), unpaired);
    const std::u16string emoji = u"\U0001F600";
    EXPECT_EQ(round_trip(emoji, 5), emoji);
    EXPECT_FALSE(encode_alpha(emoji + emoji + emoji + emoji, 8));
    EXPECT_FALSE(encode_alpha(u"\uFFFF", 14));
}

TEST(AlphaIdentifier, ReadsTheCompressedUcs2Forms) {
    // Base 0x08 << 7 = 0x0400: 0x9F is U+041F, 0x41 the alphabet's 'A', 0xB0 U+0430.
    EXPECT_EQ(decode_alpha(hex_bytes("8103089F41B0FFFF")), u"\u041FA\u0430");
    // A 16-bit base: 0x0410 + 1 is U+0411.
    EXPECT_EQ(decode_alpha(hex_bytes("82020410812000")), u"\u0411 ");
    // A count running past the field, and a unit beyond U+FFFF, are damage.
    EXPECT_FALSE(decode_alpha(hex_bytes("810908")));
    EXPECT_FALSE(decode_alpha(hex_bytes("8201FFFFFF")));
}

TEST(AlphaIdentifier, ReadsEscapesAtTheEdges) {
    // An unassigned extension code shows its default-alphabet character; a trailing escape
    // stands for nothing.
    EXPECT_EQ(decode_alpha(hex_bytes("1B411B")), u"A");
    EXPECT_EQ(decode_alpha(hex_bytes("001B1BFF")), u"@ ");
}
