# Sources of app/: logic files go to akcore, windows and controls to akwidgets.
