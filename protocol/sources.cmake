# Sources of protocol/: logic files go to akcore, windows and controls to akwidgets.
