#pragma once

// The alarm clip, stored in the program as resource "MP3" 202.
#define IDR_ALARM_CLIP 202
