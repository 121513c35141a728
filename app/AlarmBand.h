#pragma once

class CResourceFiles;
class CMp3Player;

// True when the value is outside the alarm band: below the lower bound always, above the upper
// bound only while "Включено" is checked. A value equal to a bound, or not a number, is inside.
bool IsAlarm(float value, float minLevel, float maxLevel, int alarmEnabled);

// Plays the alarm clip (extracted when missing). Does nothing while the clip still plays.
void SoundAlarm(CResourceFiles& files, CMp3Player& player);
