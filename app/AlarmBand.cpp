#include "AlarmBand.h"
#include "Mp3Player.h"
#include "ResourceFiles.h"
#include "TextConv.h"

bool IsAlarm(float value, float minLevel, float maxLevel, int alarmEnabled)
{
    // Comparisons with NaN are false, so a value that is not a number never sounds.
    return value < minLevel || (alarmEnabled != 0 && value > maxLevel);
}

void SoundAlarm(CResourceFiles& files, CMp3Player& player)
{
    if (const char* path = files.FilePath("Sound"))
        player.Play(AnsiToWide(std::string(path), CP_THREAD_ACP).c_str(), 1);
}
