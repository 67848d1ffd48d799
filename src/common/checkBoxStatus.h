// The states the view asks the panel to give a check box: plain check states, enabling and
// disabling, and both at once. They travel between view and window as plain ints.
#pragma once

enum CheckBoxStatusType
{
    CBST_UNCHECK = 0,
    CBST_PARTIALLY_CHECK = 1,
    CBST_CHECK = 2,
    CBST_DISABLE = 3,
    CBST_ENABLE = 4,
    CBST_ENABLE_CHECK = 5,
    CBST_ENABLE_UNCHECK = 6,
    CBST_DISABLE_CHECK = 7,
    CBST_DISABLE_UNCHECK = 8
};
