// Choosing the card's driver: what handsetctl stores, what the SIM library then reads, and the
// command lines it refuses before it changes anything.
#include "handsetctl_fixture.h"

#include "cellcore/card_driver_config.h"

#include <gmock/gmock.h>

namespace {

using handset::CardDriverConfig;
using ::testing::HasSubstr;

TEST_F(HandsetctlTest, TheDriverChosenAtInitOrLaterIsTheOneTheSimLibraryReads) {
    EXPECT_THAT(ok({"init", "--empty", "--modem", "/dev/ttyUSB2", "--baud", "9600"}),
                HasSubstr("card driver: modem /dev/ttyUSB2 at 9600 baud"));
    handset::set_device_folder(device());
    CardDriverConfig modem{CardDriverConfig::Kind::modem, "/dev/ttyUSB2", 9600, ""};
    EXPECT_EQ(handset::read_card_driver_config(), modem);
    EXPECT_THAT(ok({"driver"}), HasSubstr("card driver: modem /dev/ttyUSB2 at 9600 baud"));

    ok({"driver", "modem", "/dev/ttyACM0"});
    modem = {CardDriverConfig::Kind::modem, "/dev/ttyACM0", CardDriverConfig::default_baud, ""};
    EXPECT_EQ(handset::read_card_driver_config(), modem) << "the speed goes back to its default";

    ok({"driver", "emulated"});
    EXPECT_EQ(handset::read_card_driver_config(), CardDriverConfig{});
    EXPECT_THAT(ok({"driver", "stop"}), HasSubstr("card service: not running"));
}

TEST_F(HandsetctlTest, AReaderIsChosenByItsNameOrAsTheFirstWithACard) {
    EXPECT_THAT(ok({"init", "--empty", "--reader", "Virtual PCD"}),
                HasSubstr("card driver: reader \"Virtual PCD\""));
    handset::set_device_folder(device());
    CardDriverConfig reader;
    reader.kind = CardDriverConfig::Kind::reader;
    reader.reader = "Virtual PCD";
    EXPECT_EQ(handset::read_card_driver_config(), reader);

    EXPECT_THAT(ok({"driver", "reader", "auto"}), HasSubstr("the first reader that holds a card"));
    ok({"reg", "set", "Handset\\Card", "Reader", "--string", ""});
    reader.reader = CardDriverConfig::any_reader;
    EXPECT_EQ(handset::read_card_driver_config(), reader) << "no name is any reader";
    EXPECT_THAT(ok({"driver", "show"}), HasSubstr("reader auto"));
}

TEST_F(HandsetctlTest, AnUnknownOrIncompleteDriverSettingFallsBackToTheEmulatedCard) {
    ok({"init", "--empty"});
    handset::set_device_folder(device());
    ok({"reg", "set", "Handset\\Card", "Driver", "--string", "telepathy"});
    EXPECT_EQ(handset::read_card_driver_config(), CardDriverConfig{});
    ok({"reg", "set", "Handset\\Card", "Driver", "--string", "modem"});
    ok({"reg", "set", "Handset\\Card", "Port", "--string", ""});
    EXPECT_EQ(handset::read_card_driver_config(), CardDriverConfig{}) << "a modem without a port";
}

TEST_F(HandsetctlTest, RefusesDriverCommandLinesThatSayTooLittleOrTooMuch) {
    ok({"init", "--empty"});
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"init", "--baud", "9600"},
             {"init", "--modem", "/dev/ttyUSB2", "--baud", "12"},
             {"driver", "modem"},
             {"driver", "modem", "/dev/ttyUSB2", "--baud", "fast"},
             {"driver", "emulated", "extra"},
             {"driver", "carrier-pigeon"},
             {"driver", "reader"},
             {"driver", "reader", "One", "Two"},
             {"init", "--reader", ""},
             {"init", "--reader", "auto", "--modem", "/dev/ttyUSB2"},
         }) {
        EXPECT_EQ(run(words).code, 2) << words[0] << " " << words[1];
    }
    handset::set_device_folder(device());
    EXPECT_EQ(handset::read_card_driver_config(), CardDriverConfig{}) << "nothing changed";
}

} // namespace
