#include "cellcore/at_error.h"

#include <simmgr.h>

#include <gtest/gtest.h>

using handset::AtOutcome;
using handset::AtResponse;

namespace {

AtResponse response(AtOutcome outcome, int code = -1, std::string text = {}) {
    AtResponse made;
    made.outcome = outcome;
    made.error_code = code;
    made.error_text = std::move(text);
    return made;
}

} // namespace

TEST(AtError, MapsMobileErrorsOntoTheSimErrors) {
    const struct {
        int code;
        HRESULT result;
    } cases[] = {
        {10, SIM_E_SIMNOTINSERTED},  {11, SIM_E_SIMPINREQUIRED},  {12, SIM_E_SIMPUKREQUIRED},
        {13, SIM_E_SIMWRONG},        {14, SIM_E_SIMBUSY},         {16, SIM_E_INCORRECTPASSWORD},
        {17, SIM_E_SIMPIN2REQUIRED}, {18, SIM_E_SIMPUK2REQUIRED}, {20, SIM_E_MEMORYFULL},
        {21, SIM_E_INVALIDINDEX},    {22, SIM_E_NOTFOUND},        {23, SIM_E_MEMORYFAILURE},
        {24, SIM_E_BADPARAM},        {27, SIM_E_BADPARAM},        {30, SIM_E_NETWORKERROR},
        {100, SIM_E_UNDETERMINED},   {9999, SIM_E_MOBILEERROR},
    };
    for (const auto& [code, result] : cases) {
        EXPECT_EQ(handset::sim_error(response(AtOutcome::cme_error, code)), result) << code;
    }
}

TEST(AtError, ReadsTheVerboseFormOfAModemThatIgnoredNumericErrors) {
    EXPECT_EQ(handset::sim_error(response(AtOutcome::cme_error, -1, "SIM not inserted")),
              SIM_E_SIMNOTINSERTED);
    EXPECT_EQ(handset::sim_error(response(AtOutcome::cme_error, -1, "memory FULL")),
              SIM_E_MEMORYFULL);
    EXPECT_EQ(handset::sim_error(response(AtOutcome::cme_error, -1, "no idea")), SIM_E_MOBILEERROR);
}

TEST(AtError, ASilentOrVanishedModemIsARadioNotPresentNotACardFault) {
    EXPECT_EQ(handset::sim_error(response(AtOutcome::timeout)), SIM_E_RADIONOTPRESENT);
    EXPECT_EQ(handset::sim_error(response(AtOutcome::closed)), SIM_E_RADIONOTPRESENT);
    EXPECT_EQ(handset::sim_error(response(AtOutcome::error)), SIM_E_MOBILEERROR);
    EXPECT_EQ(handset::sim_error(response(AtOutcome::cms_error, 310)), SIM_E_MOBILEERROR);
}
