# Sources of displays/: logic files go to akcore, windows and controls to akwidgets.
