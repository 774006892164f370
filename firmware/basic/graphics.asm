* graphics.asm: the screen and graphics statements and functions.
*
* The sub CPU draws (subgfx.asm): every statement parses its arguments,
* sends what is buffered for the screen, then hands one command with the
* coordinates worked out to the sub CPU through the command slot (SV_SUBCMD)
* and goes on without waiting, so the BASIC parses the next statement while
* the sub CPU draws. Only POINT and CSRLIN wait for an answer.
*
* Statements: LOCATE COLOR PSET PRESET LINE (not LINE INPUT) CIRCLE BEEP
* PAINT.
* Functions: POINT CSRLIN.
* Coordinates are integers; the sub CPU leaves out what falls off the
* screen. STEP (x,y) is relative to the last point drawn.
*
* Work bytes (direct page):
LASTX   EQU $70F0           ; the last point drawn (2)
LASTY   EQU $70F2           ; (2)
FGX     EQU $70F4           ; text colour EOR 7, so a cleared byte is white
BGC     EQU $70F5           ; background colour
GBUF    EQU $70F6           ; the command being built (10)

* gsend: flush the text, then command A with B bytes from GBUF, no answer.
gsend   JSR flushc
        LDX #GBUF
        LDU #0
        JMP SV_SUBCMD

* gask: command A with B bytes from GBUF; the answer's data at RBUF+2.
gask    JSR flushc
        LDX #GBUF
        LDU #RBUF
        JMP SV_SUBCMD

* gpoint: [STEP] (x,y) -> GBUF+X, LASTX/LASTY set. X kept.
gpoint  PSHS X
        CLR ,-S             ; 1: relative
        JSR peek
        CMPA #T_STEP
        BNE .abs
        INC ,S
        JSR nextc
.abs    JSR needlp
        JSR getint
        TST ,S
        BEQ .x
        ADDD <LASTX
.x      PSHS D
        JSR needcm
        JSR getint
        TST 2,S
        BEQ .y
        ADDD <LASTY
.y      STD <LASTY
        PULS D
        STD <LASTX
        JSR needrp
        LEAS 1,S
        PULS X
        LDD <LASTX
        STD GBUF,X
        LDD <LASTY
        STD GBUF+2,X
        RTS

* gcolor: [,colour] -> B; the default is A. Y at the comma or the end.
gcolarg PSHS A
        JSR peek
        CMPA #','
        BNE .d
        JSR nextc
        CMPA #','
        BEQ .d
        JSR peek
        JSR isend
        BEQ .d
        JSR getbyte
        CMPB #7
        LBHI fcerr
        LEAS 1,S
        RTS
.d      PULS B,PC

* PSET [STEP](x,y)[,c]  PRESET [STEP](x,y)[,c]
xpset   LDA <FGX
        EORA #7
        BRA xpset1
xpreset LDA <BGC
xpset1  PSHS A
        LDX #0
        JSR gpoint
        PULS A
        JSR gcolarg
        STB GBUF+4
        LDA #C_PSET
        LDB #5
        JMP gsend

* LINE [[STEP](x1,y1)]-[STEP](x2,y2)[,[c][,B|BF]]; LINE INPUT goes on in
* input.asm.
xgline  JSR peek
        CMPA #'-'
        BEQ .from
        LDX #0
        JSR gpoint
        BRA .to
.from   LDD <LASTX
        STD GBUF
        LDD <LASTY
        STD GBUF+2
.to     LDB #'-'
        JSR need
        LDX #4
        JSR gpoint
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+8
        CLR GBUF+9
        JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #'B'
        LBNE snerr
        INC GBUF+9
        JSR nextc
        CMPA #'F'
        BNE .send
        INC GBUF+9
        JSR nextc
.send   LDA #C_LINE
        LDB #10
        JMP gsend

* CIRCLE [STEP](x,y),r[,c[,start,end[,aspect]]]: start, end and aspect are
* read and not used yet (a whole round circle is drawn).
xcircle LDX #0
        JSR gpoint
        JSR needcm
        JSR getint
        STD GBUF+4
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+6
.more   JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #','
        BEQ .more
        JSR peek
        JSR isend
        BEQ .send
        JSR getnum
        BRA .more
.send   LDA #C_CIRCLE
        LDB #7
        JMP gsend

* LOCATE column,row[,cursor]: an omitted value keeps the cursor's.
xlocate LDD #$FFFF
        STD GBUF
        JSR peek
        CMPA #','
        BEQ .y
        JSR getbyte
        STB GBUF
        CMPB #79
        LBHI fcerr
        STB <POSN
.y      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #','
        BEQ .c
        JSR getbyte
        CMPB #24
        LBHI fcerr
        STB GBUF+1
.c      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        JSR getbyte         ; the cursor shows only while input waits
.send   LDA #C_LOCATE
        LDB #2
        JMP gsend

* COLOR [fg][,bg]
xcolor  LDD #$FFFF
        STD GBUF
        JSR peek
        CMPA #','
        BEQ .b
        JSR getbyte
        CMPB #7
        LBHI fcerr
        STB GBUF
        EORB #7
        STB <FGX
.b      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        JSR getbyte
        CMPB #7
        LBHI fcerr
        STB GBUF+1
        STB <BGC
.send   LDA #C_COLOR
        LDB #2
        JMP gsend

* PAINT [STEP](x,y)[,c[,border]]: the border is the paint colour when left
* out.
xpaint  LDX #0
        JSR gpoint
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+4
        TFR B,A
        JSR gcolarg
        STB GBUF+5
        LDA #C_PAINT
        LDB #6
        JMP gsend

* BEEP
xbeep   LDA #CH_BEL
        JSR outch
        JMP flushc

* POINT(x,y): the colour of the dot, -1 off the screen.
fnpoint JSR needlp
        JSR getint
        STD GBUF
        JSR needcm
        JSR getint
        STD GBUF+2
        JSR needrp
        LDA #C_POINT
        LDB #4
        JSR gask
        LDB RBUF+2
        SEX
        JMP setint

* CSRLIN: the cursor's row.
fncsrln LDA #C_CSRLIN
        CLRB
        JSR gask
        LDB RBUF+2
        CLRA
        JMP setint
