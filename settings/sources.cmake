# Sources of settings/: logic files go to akcore, windows and controls to akwidgets.
