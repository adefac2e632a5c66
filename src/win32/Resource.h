// Resource numbers of the Windows program, shared by the resource script and the code.
#pragma once

#define IDI_BRINDLEWICK 1
#define IDR_BANNER 101
#define IDR_BANNER_2X 102
#define IDR_ABOUT 103
#define IDR_ABOUT_2X 104
