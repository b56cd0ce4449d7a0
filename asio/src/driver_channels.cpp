// AsioOurs: channel counts and channel information, after the checks of their
// IASIO methods (a unit is present, the out-pointers are given).
//
// Not filled in yet: both answer ASE_NotPresent.
#include "asio_ours.h"

ASIOError AsioOurs::doGetChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels) {
    *numInputChannels = 0;
    *numOutputChannels = 0;
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetChannelInfo(ASIOChannelInfo* info) {
    (void)info;
    return ASE_NotPresent;
}
