// This suite stands in for the host program: it hands out the client a test installs.
#include "../support/FakeHost.h"

TAVIX_TEST_CLIENT_ENTRY()
