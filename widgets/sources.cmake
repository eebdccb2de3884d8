# Sources of widgets/: logic files go to akcore, windows and controls to akwidgets.
