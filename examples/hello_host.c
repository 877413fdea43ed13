/* The smallest host program: it includes only mdiohost.h, links the library
 * and asks for the failure state. */
#include <stdio.h>

#include "mdiohost.h"

int main(void) {
    printf("HW_Fail() = %u\n", (unsigned)HW_Fail());
    printf("HW_Error() = %s\n", HW_Error() ? HW_Error() : "(none)");
    HW_CallException();
    return HW_Fail() == 0 ? 0 : 1;
}
