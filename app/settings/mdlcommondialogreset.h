// The test seam of mdlCommonDialog: forgets the filter pair chosen last.
#pragma once

namespace mdlCommonDialog {

void resetForTests();

} // namespace mdlCommonDialog
