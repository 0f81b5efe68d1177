echo Einmal gestartet> einmal.txt
