# Sources of barriers/: logic files go to akcore, windows and controls to akwidgets.
