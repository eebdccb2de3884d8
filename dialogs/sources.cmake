# Sources of dialogs/: logic files go to akcore, windows and controls to akwidgets.
